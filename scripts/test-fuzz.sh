#!/usr/bin/env bash
# Builds the engine's libFuzzer target (clang, address and undefined-behaviour
# sanitizers) and fuzzes it for a bounded time, seeded with the repository's
# corpus, the golden-file programs and the examples.
# Usage: scripts/test-fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}

echo "== fuzz: build and run for ${seconds} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/run
rm -rf "$work"
mkdir -p "$work/corpus" "$work/seeds" "$work/crashes"
cp fuzz/corpus/* tests/data/golden/*.nc examples/* "$work/seeds/"

# New inputs go to the work corpus; the seeds stay as they are. A crash or a
# broken invariant stops the run with a non-zero status and leaves the input
# in build/fuzz/run/crashes.
build/fuzz/fuzz/mirror_fuzzer "$work/corpus" "$work/seeds" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/crashes/" -print_final_stats=1 2>&1 |
  grep -v '^#[0-9]*.*\(NEW\|REDUCE\|pulse\)' || status=${PIPESTATUS[0]}
exit "${status:-0}"
