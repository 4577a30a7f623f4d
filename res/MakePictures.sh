#!/usr/bin/env bash
# Draws the application's icons and pictures with ImageMagick. The results are
# kept in the repository; run this again only after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ink=navy          # the programmed contour
mirror=firebrick  # its mirror images
axis='#404040'
font=/usr/share/wine/fonts/tahoma.ttf  # package fonts-wine

# Main icon: the XY axes, a contour in the first quadrant and its image about Oy.
icon() {  # size file
  local s=$1 h=$(( $1 / 2 ))
  local sw=$(( $1 >= 32 ? 2 : 1 ))
  convert -size "${s}x${s}" xc:none -stroke "$axis" -strokewidth 1 \
    -draw "line $h,1 $h,$((s-2))" -draw "line 1,$h $((s-2)),$h" \
    -fill none -strokewidth "$sw" -stroke "$ink" \
    -draw "polyline $((h+2)),$((h-2)) $((h+2)),$((s/8)) $((s-s/8)),$((s/8)) $((s-s/8)),$((h-s/5)) $((h+s/5)),$((h-2))" \
    -stroke "$mirror" \
    -draw "polyline $((h-2)),$((h-2)) $((h-2)),$((s/8)) $((s/8)),$((s/8)) $((s/8)),$((h-s/5)) $((h-s/5)),$((h-2))" \
    -stroke "$ink" -draw "line $((h+2)),$((h+s/6)) $((s-s/8)),$((s-s/6))" \
    -stroke "$mirror" -draw "line $((h-2)),$((h+s/6)) $((s/8)),$((s-s/6))" \
    "$2"
}
icon 32 "$tmp/i32.png"
icon 16 "$tmp/i16.png"
convert "$tmp/i16.png" "$tmp/i32.png" mirror.ico

# Second icon, for the about box: an end mill over a workpiece.
for s in 16 32; do
  convert -size "${s}x${s}" xc:none \
    -fill '#c8c8c8' -stroke '#505050' -draw "rectangle $((s*3/8)),0 $((s*5/8)),$((s*3/8))" \
    -fill '#9aa7b8' -draw "rectangle $((s*5/16)),$((s*3/8)) $((s*11/16)),$((s*11/16))" \
    -stroke "$ink" -draw "line $((s*5/16)),$((s/2)) $((s*11/16)),$((s*7/16))" \
    -draw "line $((s*5/16)),$((s*5/8)) $((s*11/16)),$((s*9/16))" \
    -fill '#e0c080' -stroke '#806020' -draw "rectangle 1,$((s*3/4)) $((s-2)),$((s-2))" \
    "$tmp/a$s.png"
done
convert "$tmp/a16.png" "$tmp/a32.png" authors.ico

bmp() { convert "$1" -background '#f4f4f4' -flatten -type TrueColor "BMP3:$2"; }

# Illustration: a contour (part outline with an arc) and its three mirror images.
W=182; H=192; cx=91; cy=96
convert -size ${W}x${H} xc:white -stroke '#a0a0a0' -fill none -draw "rectangle 0,0 $((W-1)),$((H-1))" \
  -stroke "$axis" -strokewidth 1 -draw "line 8,$cy $((W-8)),$cy" -draw "line $cx,$((H-8)) $cx,8" \
  -fill "$axis" -draw "polygon $((W-8)),$cy $((W-15)),$((cy-3)) $((W-15)),$((cy+3))" \
  -draw "polygon $cx,8 $((cx-3)),15 $((cx+3)),15" \
  -stroke none -font "$font" -pointsize 11 -draw "text $((W-16)),$((cy+14)) 'X'" -draw "text $((cx+6)),18 'Y'" \
  -draw "text $((cx-11)),$((cy+13)) 'O'" \
  -fill none -strokewidth 2 -stroke "$ink" \
  -draw "path 'M $((cx+12)),$((cy-12)) L $((cx+12)),$((cy-62)) L $((cx+52)),$((cy-62)) A 20,20 0 0,1 $((cx+72)),$((cy-42)) L $((cx+72)),$((cy-30)) L $((cx+40)),$((cy-12)) Z'" \
  -stroke "$mirror" -strokewidth 1 \
  -draw "path 'M $((cx+12)),$((cy+12)) L $((cx+12)),$((cy+62)) L $((cx+52)),$((cy+62)) A 20,20 0 0,0 $((cx+72)),$((cy+42)) L $((cx+72)),$((cy+30)) L $((cx+40)),$((cy+12)) Z'" \
  -draw "path 'M $((cx-12)),$((cy-12)) L $((cx-12)),$((cy-62)) L $((cx-52)),$((cy-62)) A 20,20 0 0,0 $((cx-72)),$((cy-42)) L $((cx-72)),$((cy-30)) L $((cx-40)),$((cy-12)) Z'" \
  -stroke '#808080' -strokewidth 1 \
  -draw "path 'M $((cx-12)),$((cy+12)) L $((cx-12)),$((cy+62)) L $((cx-52)),$((cy+62)) A 20,20 0 0,1 $((cx-72)),$((cy+42)) L $((cx-72)),$((cy+30)) L $((cx-40)),$((cy+12)) Z'" \
  -stroke none -fill "$ink" -font "$font" -pointsize 10 -draw "text $((cx+30)),$((cy-40)) '1'" \
  -fill "$mirror" -draw "text $((cx+30)),$((cy+47)) '_x'" -draw "text $((cx-42)),$((cy-40)) '_y'" \
  -fill '#606060' -draw "text $((cx-46)),$((cy+47)) '_xy'" \
  "$tmp/illustration.png"
bmp "$tmp/illustration.png" illustration.bmp

# Rule picture: a point and its images, y -> -y and x -> -x.
W=128; H=57; cx=64; cy=28
convert -size ${W}x${H} xc:white -stroke '#a0a0a0' -fill none -draw "rectangle 0,0 $((W-1)),$((H-1))" \
  -stroke "$axis" -draw "line 6,$cy $((W-6)),$cy" -draw "line $cx,$((H-4)) $cx,4" \
  -stroke none -fill "$ink" -draw "circle $((cx+24)),$((cy-14)) $((cx+27)),$((cy-14))" \
  -fill "$mirror" -draw "circle $((cx+24)),$((cy+14)) $((cx+27)),$((cy+14))" \
  -draw "circle $((cx-24)),$((cy-14)) $((cx-21)),$((cy-14))" \
  -fill '#808080' -draw "circle $((cx-24)),$((cy+14)) $((cx-21)),$((cy+14))" \
  -fill "$axis" -font "$font" -pointsize 9 -draw "text $((cx+30)),$((cy-10)) 'x,y'" -draw "text $((cx+30)),$((cy+18)) 'x,-y'" \
  -draw "text 4,$((cy-10)) '-x,y'" -draw "text 4,$((cy+18)) '-x,-y'" \
  -fill none -stroke "$mirror" -strokewidth 1 -draw "line $((cx+24)),$((cy-9)) $((cx+24)),$((cy+9))" \
  -draw "line $((cx+19)),$((cy-14)) $((cx-19)),$((cy-14))" \
  "$tmp/axes.png"
bmp "$tmp/axes.png" axes.bmp

# Small picture beside the description: a flag and its mirror image about Oy.
convert -size 26x24 xc:white -stroke '#a0a0a0' -fill none -draw "rectangle 0,0 25,23" \
  -stroke "$axis" -draw "line 13,2 13,21" \
  -fill none -stroke "$ink" -strokewidth 2 -draw "line 10,4 10,20" -draw "polyline 10,4 3,8 10,12" \
  -stroke "$mirror" -draw "line 16,4 16,20" -draw "polyline 16,4 23,8 16,12" \
  "$tmp/small.png"
bmp "$tmp/small.png" small.bmp

# About box: a thin separator line and a small coordinate cross.
convert -size 306x2 xc:'#808080' -fill white -draw "line 0,1 305,1" "$tmp/sep.png"
bmp "$tmp/sep.png" separator.bmp
convert -size 20x20 xc:white -stroke "$axis" -draw "line 10,1 10,18" -draw "line 1,10 18,10" \
  -stroke "$ink" -strokewidth 2 -draw "line 12,8 17,3" -stroke "$mirror" -draw "line 8,8 3,3" \
  "$tmp/about.png"
bmp "$tmp/about.png" about.bmp
