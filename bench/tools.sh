# Sourced by the bench scripts: builds the native preset when `build` is 1
# and checks that the tools are there; sets `bin`, `mirror` (unless the
# script was given one) and `gen`. `script` names the script in messages.
bin=build/native
if [ "$build" = 1 ]; then
  cmake --preset native >/dev/null
  cmake --build --preset native >/dev/null
fi
mirror=${mirror:-$bin/cli/ncmirror}
gen=$bin/bench/ncm_genprog
for tool in "$mirror" "$gen"; do
  [ -x "$tool" ] || { echo "$script: $tool is not built" >&2; exit 1; }
done
