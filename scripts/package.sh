#!/usr/bin/env bash
# Builds the packages of a release into build/dist/:
#   NcMirror-VERSION-win64.zip   NcMirrorGui.exe, ncmirror.exe, README-ru.txt, examples/
#   ncmirror_VERSION_ARCH.deb    /usr/bin/ncmirror, its manual page, copyright, changelog, examples
#   SHA256SUMS                   of both
# VERSION is project(VERSION) of CMakeLists.txt. Installs what is missing
# and builds what is not built yet: the Linux ncmirror with Debian's
# hardening flags (preset package), the Windows programs (preset win64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
umask 022

bash scripts/setup.sh

echo "== package: build"
cmake --preset package >/dev/null \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now"
cmake --build --preset package
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ncmirror NcMirrorGui

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)
[ -n "$version" ] || { echo "package: no project version in build/package" >&2; exit 1; }
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [ "$changelog_version" != "$version" ]; then
  echo "package: packaging/changelog starts with $changelog_version, the project is $version;" \
    "add an entry for $version" >&2
  exit 1
fi
# Every file and archive member gets the time of the last commit, so that
# the same sources give the same packages.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
export TZ=UTC

dist=build/dist
stage=build/package-stage
rm -rf "$dist" "$stage"
mkdir -p "$dist" "$stage"

# Sets the time of everything under $1 to SOURCE_DATE_EPOCH.
stamp() { find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +; }

echo "== package: Windows zip"
zipname=NcMirror-$version-win64
zipdir=$stage/$zipname
mkdir -p "$zipdir/examples"
x86_64-w64-mingw32-strip -o "$zipdir/NcMirrorGui.exe" build/win64/ui/NcMirrorGui.exe
x86_64-w64-mingw32-strip -o "$zipdir/ncmirror.exe" build/win64/cli/ncmirror.exe
# Every Notepad shows UTF-8 right with a byte-order mark and "\r\n" line ends.
{ printf '\xEF\xBB\xBF'; sed "s/@PROJECT_VERSION@/$version/; s/\$/\r/" doc/README-ru.txt; } > "$zipdir/README-ru.txt"
cp examples/* "$zipdir/examples/"
stamp "$zipdir"
(cd "$stage" && find "$zipname" -print | LC_ALL=C sort | zip -q -X -9 "$root/$dist/$zipname.zip" -@)

echo "== package: Debian package"
arch=$(dpkg --print-architecture)
deb=$stage/deb
doc=$deb/usr/share/doc/ncmirror
install -D -m 0755 build/package/cli/ncmirror "$deb/usr/bin/ncmirror"
strip --remove-section=.comment --remove-section=.note "$deb/usr/bin/ncmirror"
install -d -m 0755 "$deb/usr/share/man/man1" "$doc/examples"
gzip -9n < build/package/cli/ncmirror.1 > "$deb/usr/share/man/man1/ncmirror.1.gz"
# The copyright file: the header of packaging/copyright.in, the holders and
# the licence text from LICENSE (in the file's format: indented, a blank
# line as " .").
holders=$(sed -n 's/^Copyright (c) //p' LICENSE)
[ -n "$holders" ] || { echo "package: no 'Copyright (c)' line in LICENSE" >&2; exit 1; }
{
  sed "s/@COPYRIGHT@/$holders/" packaging/copyright.in
  sed '1,/^Copyright (c) /d' LICENSE | sed '/./,$!d; s/^$/./; s/^/ /'
} > "$doc/copyright"
chmod 0644 "$doc/copyright"
gzip -9n < packaging/changelog > "$doc/changelog.gz"
install -m 0644 examples/* "$doc/examples/"
chmod 0644 "$deb/usr/share/man/man1/ncmirror.1.gz" "$doc/changelog.gz"

# The shared libraries the binary needs, with the versions it needs of them.
mkdir -p "$stage/shlibs/debian"
printf 'Source: ncmirror\n\nPackage: ncmirror\nArchitecture: any\n' > "$stage/shlibs/debian/control"
depends=$(cd "$stage/shlibs" && dpkg-shlibdeps -O "$root/$deb/usr/bin/ncmirror" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

mkdir -p "$deb/DEBIAN"
size=$(du -k -s --apparent-size "$deb/usr" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  packaging/control.in > "$deb/DEBIAN/control"
(cd "$deb" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) > "$deb/DEBIAN/md5sums"
chmod 0644 "$deb/DEBIAN/control" "$deb/DEBIAN/md5sums"
stamp "$deb"
dpkg-deb --root-owner-group -Zxz --build "$deb" "$dist/ncmirror_${version}_$arch.deb" >/dev/null

(cd "$dist" && sha256sum "$zipname.zip" "ncmirror_${version}_$arch.deb" > SHA256SUMS)
rm -rf "$stage"
echo "== package: $dist"
ls -l "$dist"
