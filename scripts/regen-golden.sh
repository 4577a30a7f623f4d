#!/usr/bin/env bash
# Writes the golden files anew from the current build: the mirrored programs
# of tests/data/golden (each .nc in every mode, their counts in counts.txt)
# and the golden pictures of tests/data/pictures. Run it only after a change
# that is meant to change the output, then read the diff before committing.
# Usage: scripts/regen-golden.sh [NCMIRROR]   (default build/native/cli/ncmirror)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
ncmirror=$(realpath "${1:-build/native/cli/ncmirror}")
golden=tests/data/golden
pictures=tests/data/pictures

# The count is the number at the end of the result line.
count_of() { sed -n 's/.*=\([0-9][0-9]*\)$/\1/p'; }

list=$(mktemp)
trap 'rm -f "$list"' EXIT
grep '^#' "$golden/counts.txt" > "$list"
for name in $(grep -v '^#' "$golden/counts.txt" | awk '{print $1}'); do
  counts=()
  for mode in x y xy; do
    # Findings are expected in these programs: they are not shown.
    counts+=("$("$ncmirror" -f -m "$mode" -o "$golden/$name.$mode.out" "$golden/$name.nc" 2> /dev/null |
      count_of)")
  done
  echo "$name ${counts[*]}" >> "$list"
done
cp "$list" "$golden/counts.txt"

# The same about mirror positions: positions.txt names the program, a tag,
# the mode and the position; the output is NAME.TAG.out (none when the run
# fails: its count is the result code).
grep '^#' "$golden/positions.txt" > "$list"
grep -v '^#' "$golden/positions.txt" | while read -r name tag mode x y _; do
  at=()
  [ "$x" != - ] && at+=("x=$x")
  [ "$y" != - ] && at+=("y=$y")
  position=$(IFS=,; echo "${at[*]}")
  out="$golden/$name.$tag.out"
  if count=$("$ncmirror" -f -m "$mode" --at "$position" -o "$out" "$golden/$name.nc" 2> /dev/null | head -1 |
    count_of); then
    :
  fi
  [ -n "$count" ] || { count=-5; rm -f "$out"; }
  echo "$name $tag $mode $x $y $count" >> "$list"
done
cp "$list" "$golden/positions.txt"

# The pictures of two examples (the CLI and the Windows tests compare them).
work=$(mktemp -d)
trap 'rm -f "$list"; rm -rf "$work"' EXIT
cp examples/pocket.nc examples/bracket.up "$work/"
(cd "$work" && "$ncmirror" --check -q -m y --svg pocket_y.svg pocket.nc &&
  "$ncmirror" --check -q -m xy --svg bracket_xy.svg bracket.up)
cp "$work/pocket_y.svg" "$work/bracket_xy.svg" "$pictures/"
git status --short "$golden" "$pictures"
