#!/usr/bin/env bash
# What the picture costs: ncmirror with --svg against the plain mirror, on
# programs whose moves merge badly and on CAM-like ones.
#
#   bash bench/picture.sh [--repeat 5] [--no-build] [--against OTHER/ncmirror]
#
# Programs (deterministic, generated under build/bench, never committed):
#   alt-2M, alt-20M   the same square over and over, rapid and feed moves by
#                     turns: no two neighbouring moves merge
#   free-100M         bench's CAM-like program (surfacing G01 with Z, pockets
#                     with G02/G03 and I/J, drilling cycles)
#   noise-100M        random words and lines, CAM-like letters
# For each it prints the best of --repeat runs (files in the page cache) of
# the plain mirror and of the mirror with its picture, the ratio of the two,
# the picture's size and the peak memory of the run with the picture.
# --against times another build's --svg too (row "old"; a run over 60 s
# is stopped and shown so). Figures only;
# nothing here fails on time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

repeat=5
build=1
against=""
while [ $# -gt 0 ]; do
  case "$1" in
    --repeat) repeat="$2"; shift ;;
    --no-build) build=0 ;;
    --against) against="$2"; shift ;;
    -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/picture.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

script=bench/picture.sh
. "$root/bench/tools.sh"

data=build/bench
mkdir -p "$data"
dst="$data/picture-out.nc"
timing="$data/picture-time.txt"
trap 'rm -f "$dst" "$dst.svg" "$timing"' EXIT

# alt_program BYTES FILE: the square, rapid and feed by turns, to BYTES.
alt_program() {
  awk -v bytes="$1" 'BEGIN {
    print "G90G17"; n = 7
    while (n < bytes) { printf "G0X0.Y0.\nG1X10.Y0.\nG0X10.Y10.\nG1X0.Y10.\n"; n += 40 } }' >"$2"
}

# best_of NAME SRC: sets best (seconds) over --repeat runs of case NAME.
best_of() {
  local name=$1 src=$2 i t0 t1 t
  best=""
  for ((i = 0; i < repeat; i++)); do
    rm -f "$dst" "$dst.svg"
    t0=$EPOCHREALTIME
    case "$name" in
      plain) "$mirror" -m x -o "$dst" -f -q "$src" >/dev/null 2>&1 ;;
      svg) "$mirror" -m x -o "$dst" -f -q --svg "$dst.svg" "$src" >/dev/null 2>&1 ;;
      old) local status=0
           timeout 60 "$against" -m x -o "$dst" -f -q --svg "$dst.svg" "$src" >/dev/null 2>&1 || status=$?
           if [ "$status" = 124 ]; then best="over 60"; return; fi ;;
    esac
    t1=$EPOCHREALTIME
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
}

echo "NC Mirror: the picture's cost (ncmirror --svg against the plain mirror, mode x)"
echo "machine: $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores; best of $repeat runs"
echo "load before: $(cat /proc/loadavg)"
printf '%-11s %8s  %9s %9s %7s %10s %10s\n' program MB plain svg "x plain" picture "svg RSS"
for program in alt-2M alt-20M free-100M noise-100M; do
  src="$data/$program.nc"
  case "$program" in
    alt-*) mb=${program#alt-}; [ -f "$src" ] || alt_program $((${mb%M} * 1048576)) "$src" ;;
    *) if [ ! -f "$src" ] || [ "$gen" -nt "$src" ]; then
         "$gen" --style "${program%-*}" --size "${program#*-}" --seed 1 "$src"
       fi ;;
  esac
  cat "$src" >/dev/null
  best_of plain "$src"; plain=$best
  best_of svg "$src"; svg=$best
  /usr/bin/time -f %M -o "$timing" "$mirror" -m x -o "$dst" -f -q --svg "$dst.svg" "$src" >/dev/null 2>&1 || true
  printf '%-11s %8.1f  %8.3fs %8.3fs %7.2f %7.0f KB %7.1f MB\n' "$program" \
    "$(awk -v b="$(stat -c %s "$src")" 'BEGIN { print b / 1048576 }')" "$plain" "$svg" \
    "$(awk -v s="$svg" -v p="$plain" 'BEGIN { print s / p }')" \
    "$(awk -v b="$(stat -c %s "$dst.svg")" 'BEGIN { print b / 1024 }')" \
    "$(awk -v k="$(cat "$timing")" 'BEGIN { print k / 1024 }')"
  if [ -n "$against" ]; then
    best_of old "$src"
    printf '%-11s %8s  %9s %8ss %7s  (%s)\n' "  old" "" "" "$best" \
      "$(awk -v s="$best" -v p="$plain" 'BEGIN { if (s + 0 > 0 && s !~ /over/) printf "%.2f", s / p; else print "-" }')" "$against"
  fi
done
echo "load after:  $(cat /proc/loadavg)"
