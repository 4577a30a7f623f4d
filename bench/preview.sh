#!/usr/bin/env bash
# How long the dialog's preview of a 100 MB program takes to open under Wine.
#
#   bash bench/preview.sh [--styles cam,free,fixed] [--size 100M] [--repeat 3]
#                         [--mode y|x|xy|none] [--no-build] [--against OTHER/NcMirrorGui.exe]
#
# Generates each style's program with the native bench generator (seed 1,
# under build/bench, never committed), starts the Windows dialog under Wine
# on a virtual display and has tests/ui's preview_bench open its preview
# (mode y by default: the program and its mirror image) --repeat times. It
# prints, best of the runs by the total: the seconds from the preview asked
# for until its window showed the finished picture (built and painted),
# and how they split: the window opened, the picture built (the progress
# shown meanwhile), the first paint until it is on the screen. --against
# times another build of the dialog too (row "old"), its runs taking turns
# with those of the build under test. Figures only; nothing here fails on
# time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

styles="cam,free,fixed"
size=100M
repeat=3
mode=y
build=1
against=""
while [ $# -gt 0 ]; do
  case "$1" in
    --styles) styles="$2"; shift ;;
    --size) size="$2"; shift ;;
    --repeat) repeat="$2"; shift ;;
    --mode) mode="$2"; shift ;;
    --no-build) build=0 ;;
    --against) against="$2"; shift ;;
    -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/preview.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

for tool in wine xvfb-run; do
  command -v "$tool" >/dev/null || { echo "bench/preview.sh: $tool is missing; run: bash scripts/setup.sh" >&2; exit 1; }
done

script=bench/preview.sh
. "$root/bench/tools.sh"

win=build/win64
if [ "$build" = 1 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target NcMirrorGui preview_bench >/dev/null
fi
app=$win/ui/NcMirrorGui.exe
driver=$win/tests/ui/preview_bench.exe
for tool in "$app" "$driver"; do
  [ -f "$tool" ] || { echo "$script: $tool is not built" >&2; exit 1; }
done

# The Wine prefix and environment of the Windows tests (cmake/WineTests.cmake).
prefix=$root/$win/wineprefix
bash scripts/wine-prefix.sh "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export NCM_APP=$root/$app

data=build/bench
mkdir -p "$data"
programs=()
for style in ${styles//,/ }; do
  src="$data/$style-$size.nc"
  if [ ! -f "$src" ] || [ "$gen" -nt "$src" ]; then
    "$gen" --style "$style" --size "$size" --seed 1 "$src"
  fi
  cat "$src" >/dev/null
  programs+=("$root/$src")
done

out=$(mktemp)
trap 'rm -f "$out" "$out.err"' EXIT
echo "NC Mirror: the dialog's preview under Wine ($(wine --version)), mode $mode"
echo "machine: $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores; best of $repeat runs"
echo "load before: $(cat /proc/loadavg)"
status=0
LC_ALL=ru_RU.UTF-8 xvfb-run -a -s "-screen 0 1024x768x24" wine "$driver" --repeat "$repeat" --mode "$mode" \
  ${against:+--against "$(realpath "$against")"} "${programs[@]}" \
  >"$out" 2>"$out.err" || status=$?
grep -v "X connection" "$out.err" >&2 || true
wineserver -k 2>/dev/null || true
printf '%-16s %8s  %8s %8s %8s %8s\n' program MB total window build paint
tr -d '\r' <"$out" | awk -v size="$size" '$1 == "RESULT" || $1 == "AGAINST" {
  name = $2; sub(/\.nc$/, "", name)
  if ($1 == "AGAINST") { name = "  old"; mb = "" } else mb = size
  printf "%-16s %8s  %7.2fs %7.2fs %7.2fs %7.2fs\n", name, mb, $3, $4, $5, $6 }'
echo "load after:  $(cat /proc/loadavg)"
[ "$status" = 0 ] || echo "$script: the driver failed (status $status)" >&2
exit "$status"
