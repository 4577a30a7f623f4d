#!/usr/bin/env bash
# The README's first command: installs what is missing, builds ncmirror and
# mirrors the example programs in examples/ in all three modes into
# build/demo, then shows what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

echo "== building (preset native)"
cmake --preset native >/dev/null
cmake --build --preset native --target ncmirror

ncmirror="$root/build/native/cli/ncmirror"
demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp examples/* "$demo"/
cd "$demo"
programs=(pocket.nc bracket.up drill_crlf.nc)

for mode in x y xy; do
  echo
  echo "== ncmirror -m $mode ${programs[*]}"
  "$ncmirror" -m "$mode" "${programs[@]}"
done

# Mirrored name of $1 for suffix $2, as ncmirror names it.
mirrored() { echo "${1%.*}$2.${1##*.}"; }

echo
echo "== arcs and cutter compensation: source, then about X, about Y, about the origin"
for program in "${programs[@]}"; do
  echo
  echo "-- $program"
  paste -d '\n' "$program" "$(mirrored "$program" _x)" "$(mirrored "$program" _y)" \
      "$(mirrored "$program" _xy)" | tr -d '\r' |
    awk 'NR % 4 == 1 { s = $0; next }
         NR % 4 == 2 { x = $0; next }
         NR % 4 == 3 { y = $0; next }
         (s != x || s != y || s != $0) && s ~ /G0?[23]([^0-9]|$)|G4[123]/ && shown < 3 {
           printf "   %s\n  x: %s\n  y: %s\n xy: %s\n", s, x, y, $0; shown++ }'
done

echo
echo "== all files are in ${demo#"$root"/}:"
ls -l "$demo"
