#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

for preset in native asan; do
  echo "== $preset: build and test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

# Further suites, each with its own script: the Windows build under Wine,
# the bounded fuzzing run.
for suite in scripts/test-win64.sh scripts/test-package.sh scripts/test-fuzz.sh; do
  if [ -f "$suite" ]; then
    bash "$suite"
  fi
done
