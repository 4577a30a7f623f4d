#!/usr/bin/env bash
# What ncmirror --sync costs: the same runs with and without it, on one
# 100 MB program and on a batch of 1,000 programs of 4 KB, outputs replaced
# (-f) beside the sources under build/bench/sync. Best of --repeat runs.
#
#   bash bench/sync-cost.sh [--repeat 5] [--mirror PATH] [--no-build]
#
# The figures depend on the disk under build/ (and its cache): --sync waits
# for each output, and then for its folder entry, to reach the disk.
# Benchmarks print figures; nothing here fails on time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

repeat=5
mirror=""
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --repeat) repeat="$2"; shift ;;
    --mirror) mirror="$2"; shift ;;
    --no-build) build=0 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/sync-cost.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

script=bench/sync-cost.sh
. "$root/bench/tools.sh"

work=build/bench/sync
rm -rf "$work"
mkdir -p "$work/one" "$work/batch"
"$gen" --style free --size 100M --seed 1 "$work/one/big.nc"
# A program of about 4 KB: whole lines from the start of a generated one.
"$gen" --style free --size 1M --seed 2 "$work/small.nc"
head -c 4096 "$work/small.nc" | sed '$d' >"$work/4k.nc"
for i in $(seq -w 1 1000); do cp "$work/4k.nc" "$work/batch/p$i.nc"; done
rm -f "$work/small.nc" "$work/4k.nc"

# best_of CASE ARGS...: the best wall time of --repeat runs of ncmirror ARGS
# (after one run that creates the outputs), in seconds.
best_of() {
  local t0 t1 t i
  best=""
  "$mirror" "$@" >/dev/null
  for ((i = 0; i < repeat; i++)); do
    t0=$EPOCHREALTIME
    "$mirror" "$@" >/dev/null
    t1=$EPOCHREALTIME
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.6f", b - a }')
    if [ -z "$best" ] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }'; then best=$t; fi
  done
}

echo "ncmirror --sync cost ($mirror); best of $repeat runs; outputs under $work"
echo "disk: $(df -h --output=source,fstype "$work" | tail -1)"
echo "load before: $(cat /proc/loadavg)"
printf '%-22s %10s %10s %12s %8s\n' case plain "--sync" "extra/file" ratio
for case in one batch; do
  if [ "$case" = one ]; then files=("$work/one/big.nc"); else files=("$work"/batch/p*.nc); fi
  best_of -f -q -m x "${files[@]}"; plain=$best
  best_of -f -q --sync -m x "${files[@]}"; synced=$best
  label=$([ "$case" = one ] && echo "1 x 100 MB" || echo "1,000 x 4 KB")
  awk -v l="$label" -v p="$plain" -v s="$synced" -v n="${#files[@]}" \
    'BEGIN { printf "%-22s %9.3fs %9.3fs %10.2fms %7.2fx\n", l, p, s, (s - p) * 1000 / n, s / p }'
done
echo "load after:  $(cat /proc/loadavg)"
rm -rf "$work"
