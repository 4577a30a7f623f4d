#!/usr/bin/env bash
# Builds the packages (scripts/package.sh) and checks them as a user gets
# them: lintian on the Debian package, which unpacked runs and mirrors an
# example and whose manual page renders cleanly; the zip unpacked, its
# programs run under Wine (version, version information, manifest, the
# dialog starts and closes), the user's guide fit for Notepad; the checksums.
# Runs after scripts/test-win64.sh, whose test programs and Wine prefix it
# uses. The lintian report is left in build/package-check/lintian.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/package.sh

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
dist=$root/build/dist
check=$root/build/package-check
rm -rf "$check"
mkdir -p "$check"
failures=0
fail() { echo "package check FAILED: $*" >&2; failures=$((failures + 1)); }

echo "== package check: SHA256SUMS"
(cd "$dist" && sha256sum --check --quiet SHA256SUMS) || fail "SHA256SUMS"

echo "== package check: lintian"
deb=$dist/ncmirror_${version}_$(dpkg --print-architecture).deb
# Errors fail the check; warnings and notes are listed for the release notes.
lintian --display-info --pedantic --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' |
  tee "$check/lintian.txt" || fail "lintian reports an error"
[ -s "$check/lintian.txt" ] || echo "(lintian: nothing to report)" | tee "$check/lintian.txt"

echo "== package check: the Debian package unpacked"
dpkg -x "$deb" "$check/deb"
ncmirror=$check/deb/usr/bin/ncmirror
[ "$("$ncmirror" --version)" = "ncmirror $version" ] || fail "ncmirror --version of the package"
mkdir -p "$check/run"
cp "$check/deb/usr/share/doc/ncmirror/examples/"* "$check/run/"
for example in "$check/run/"*; do
  # The packaged build (Debian's compiler flags) writes what the tested build writes.
  "$ncmirror" -q -m xy -o "$example.packaged" "$example" || fail "the package's ncmirror on $example"
  "$root/build/native/cli/ncmirror" -q -m xy -c "$example" > "$example.tested" ||
    fail "the tested ncmirror on $example"
  cmp -s "$example.packaged" "$example.tested" || fail "the package mirrors $example differently"
  cmp -s "$example" "$example.packaged" && fail "the package did not change $example"
done
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -E UTF-8 -l -Tutf8 -Z "$check/deb/usr/share/man/man1/ncmirror.1.gz" 2>&1 >/dev/null) ||
  fail "man cannot render ncmirror(1)"
[ -z "$warnings" ] || fail "ncmirror(1) renders with warnings: $warnings"

echo "== package check: the Windows zip unpacked"
zipname=NcMirror-$version-win64
unzip -q "$dist/$zipname.zip" -d "$check/zip"
app=$check/zip/$zipname
listed=$(cd "$app" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
expected="./NcMirrorGui.exe ./README-ru.txt ./examples/bracket.up ./examples/drill_crlf.nc ./examples/pocket.nc ./ncmirror.exe "
[ "$listed" = "$expected" ] || fail "the zip holds: $listed"
guide=$app/README-ru.txt
[ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README-ru.txt has no byte-order mark"
[ "$(tr -cd '\n' < "$guide" | wc -c)" = "$(grep -c $'\r$' "$guide")" ] || fail "README-ru.txt has lines without \\r\\n"
grep -q "NC Mirror $version " "$guide" || fail "README-ru.txt does not name version $version"

export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all,err+module WINEDLLOVERRIDES="mscoree,mshtml=" \
  LC_ALL=ru_RU.UTF-8 NCM_APP=$app/NcMirrorGui.exe NCM_CLI=$app/ncmirror.exe
bash scripts/wine-prefix.sh "$WINEPREFIX"
# All Wine runs on the one virtual display: a Wine session started without
# it could not show the dialog later. The packaged ncmirror.exe shows the
# version, both programs carry it and the manifest, and the dialog starts
# from the unpacked folder and closes.
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  [ "$(wine "$NCM_CLI" --version | tr -d "\r")" = "ncmirror $1" ] || { echo "ncmirror.exe --version"; exit 1; }
  wine build/win64/tests/cli/cli_tests_win.exe "--gtest_filter=Both/ProgramFile.*" &&
  wine build/win64/tests/ui/ui_driver.exe \
    "--gtest_filter=ByEveryRoute/MainWindowClose.EndsTheProcessWithCodeZero/CancelButton"' sh "$version" ||
  fail "the programs of the zip under Wine"
wineserver -k 2>/dev/null || true

if [ "$failures" -gt 0 ]; then
  echo "== package check: $failures failed" >&2
  exit 1
fi
echo "== package check: passed"
LC_ALL=C ls -l "$dist"
