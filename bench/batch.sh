#!/usr/bin/env bash
# Batches of files on threads: ncmirror -j 1 and -j 2 against cp of the same
# files, on 10,000 programs of 4 KB and on 20 programs of 50 MB (generated
# under build/bench/batch, outputs beside the sources, replaced with -f).
# Best of --repeat runs, files in the page cache.
#
#   bash bench/batch.sh [--repeat 3] [--no-build]
#
# Benchmarks print figures; nothing here fails on time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

repeat=3
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --repeat) repeat="$2"; shift ;;
    --no-build) build=0 ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench/batch.sh: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

script=bench/batch.sh
. "$root/bench/tools.sh"

work=build/bench/batch
trap 'rm -rf "$work"' EXIT

# best CMD...: the best wall time of --repeat runs, in seconds; `before`
# (when set) runs untimed ahead of each.
before=""
best() {
  local i t0 t1 t b=""
  for ((i = 0; i < repeat; i++)); do
    [ -z "$before" ] || $before
    t0=$EPOCHREALTIME
    "$@" >/dev/null
    t1=$EPOCHREALTIME
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$b" ] || awk -v t="$t" -v b="$b" 'BEGIN { exit !(t < b) }'; then b=$t; fi
  done
  echo "$b"
}

fresh_copies() { rm -rf "$work/copies"; mkdir "$work/copies"; }
copy_all() { cp "$work"/src/*.nc "$work/copies/"; }
mirror_all() { "$mirror" -f -q -j "$1" -m x "$work"/src/p*[0-9].nc; }

echo "NC Mirror batch benchmark: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); best of $repeat runs"
printf '%-22s %9s %9s %9s %12s\n' batch "cp" "-j 1" "-j 2" "-j 2 vs -j 1"
for batch in "10000 4K" "20 50M"; do
  read -r count size <<<"$batch"
  rm -rf "$work"
  mkdir -p "$work/src"
  for ((i = 0; i < count; i++)); do
    if [ "$i" -lt 20 ]; then
      "$gen" --style free --size "$size" --seed "$((i + 1))" "$work/src/p$i.nc"
    else
      cp "$work/src/p$((i % 20)).nc" "$work/src/p$i.nc"  # the same programs again
    fi
  done
  cat "$work"/src/*.nc >/dev/null  # into the page cache
  before=fresh_copies
  cp_time=$(best copy_all)
  before=""
  one=$(best mirror_all 1)
  two=$(best mirror_all 2)
  printf '%-22s %8ss %8ss %8ss %11sx\n' "$count x $size" "$cp_time" "$one" "$two" \
    "$(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2f", a / b }')"
done
