#!/usr/bin/env bash
# Makes the Wine prefix that the Windows tests run in: usage wine-prefix.sh DIR.
# Does nothing when DIR already holds a finished prefix.
set -euo pipefail
prefix=$1
[ -f "$prefix/.ncmirror-ready" ] && exit 0

rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No Mono or Gecko installer prompts (the overrides), and no display needed.
DISPLAY= wineboot -i >/dev/null 2>&1
# Debian's Wine does not load its own fonts from /usr/share; the prefix needs them.
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
# A virtual desktop: windows get title bars, and closing one costs no delay.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.ncmirror-ready"
