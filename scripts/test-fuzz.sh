#!/usr/bin/env bash
# Builds the engine's libFuzzer targets (clang, address and undefined-behaviour
# sanitizers) and fuzzes them for a bounded time, seeded with the repository's
# corpus, the golden-file programs and the examples. Three targets hold the
# runs to their own part of the invariants: mirror (bytes and counts), check
# (findings), toolpath (proof and picture).
# Usage: scripts/test-fuzz.sh [TARGET] [SECONDS]
#   TARGET: mirror, check, toolpath, or all (the default: each for its third
#   of SECONDS); SECONDS: default 60.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
targets="mirror check toolpath"
if [ $# -gt 0 ] && [[ "$1" =~ ^[a-z]+$ ]]; then
  [ "$1" = all ] || targets="$1"
  shift
fi
seconds=${1:-60}
count=$(echo $targets | wc -w)
share=$(( seconds / count > 0 ? seconds / count : 1 ))

echo "== fuzz: build and run $targets for ${seconds} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for target in $targets; do
  fuzzer=build/fuzz/fuzz/${target}_fuzzer
  [ -x "$fuzzer" ] || { echo "test-fuzz.sh: no target '$target' (mirror, check, toolpath)" >&2; exit 2; }
  work=build/fuzz/run/$target
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/seeds" "$work/crashes"
  cp fuzz/corpus/* tests/data/golden/*.nc examples/* "$work/seeds/"
  echo "== fuzz: $target for ${share} s"
  # New inputs go to the work corpus; the seeds stay as they are. A crash or
  # a broken invariant stops the run with a non-zero status and leaves the
  # input in build/fuzz/run/TARGET/crashes.
  "$fuzzer" "$work/corpus" "$work/seeds" \
    -max_total_time="$share" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 2>&1 |
    grep -v '^#[0-9]*.*\(NEW\|REDUCE\|pulse\)' || status=${PIPESTATUS[0]}
  [ "$status" = 0 ] || break
done
exit "$status"
