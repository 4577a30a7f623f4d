#!/usr/bin/env bash
# Builds the Windows programs with MinGW-w64 and runs their tests under Wine
# on a virtual display. Screenshots of the dialog land in build/win64/*.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

echo "== win64: build and test under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
# The Wine environment of each test (prefix, locale) comes from CTest; the
# display from here.
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64 "$@"
