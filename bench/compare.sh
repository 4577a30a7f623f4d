#!/usr/bin/env bash
# Compares two builds of the engine byte for byte, for work on its speed:
#
#   bash bench/compare.sh REFERENCE_DRIVER [CANDIDATE_DRIVER] [--size 4M] [--seeds 3]
#
# Both drivers are ncm_mirror_file programs (SOURCE DESTINATION MODE); the
# candidate defaults to build/native/bench/ncm_mirror_file. Keep a copy of
# the driver built before a change, e.g.
#   cp build/native/bench/ncm_mirror_file build/reference_mirror
# For programs of every generated style (free, fixed width, and random lines
# that stress odd numbers, long lines, '\r' and missing line ends), with "\n"
# and "\r\n" line ends, several seeds and all three modes, both drivers must
# print the same result and write identical files. Exit status 1 on the
# first difference.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

reference=""
candidate=build/native/bench/ncm_mirror_file
size=4M
seeds=3
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size="$2"; shift ;;
    --seeds) seeds="$2"; shift ;;
    -*) echo "bench/compare.sh: unknown option $1" >&2; exit 2 ;;
    *) if [ -z "$reference" ]; then reference=$1; else candidate=$1; fi ;;
  esac
  shift
done
[ -n "$reference" ] || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
gen=build/native/bench/ncm_genprog
for program in "$reference" "$candidate" "$gen"; do
  [ -x "$program" ] || { echo "bench/compare.sh: $program is not built" >&2; exit 1; }
done

work=$(mktemp -d build/compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
cases=0
for style in free fixed noise noise-fixed; do
  for eol in "" --crlf; do
    for ((seed = 1; seed <= seeds; seed++)); do
      "$gen" --style "$style" --size "$size" --seed "$seed" $eol "$work/src.nc"
      for mode in 1 2 3; do
        a=$("$reference" "$work/src.nc" "$work/a.nc" "$mode")
        b=$("$candidate" "$work/src.nc" "$work/b.nc" "$mode")
        if [ "$a" != "$b" ] || ! cmp -s "$work/a.nc" "$work/b.nc"; then
          echo "DIFFERENT: style $style ${eol:-lf} seed $seed mode $mode: results $a / $b"
          cmp "$work/a.nc" "$work/b.nc" | head -1 || true
          cp "$work/src.nc" build/compare-failed.nc
          echo "source kept as build/compare-failed.nc"
          exit 1
        fi
        cases=$((cases + 1))
      done
    done
  done
done
echo "compare: $cases runs, identical results and bytes"
