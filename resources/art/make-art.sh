#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws Meridal's pictures with ImageMagick 6 ("convert") and writes them next to this
# script. Not part of the build: run it after changing a picture and commit what it writes.
#
#   meridal-icon.png          icon 169, 128x128 PNG with alpha
#   share/icons/hicolor/scalable/apps/org.meridal.Meridal.svg   the same icon as SVG
#   share/icons/hicolor/256x256/apps/org.meridal.Meridal.png     and at 256x256
#   log-add.bmp, log-delete.bmp, log-clear.bmp, log-restore.bmp
#                             bitmaps 183 to 186: 24x24, 24 bits, BMP file header kept;
#                             the top-left pixel has the background colour
#   banner.bmp, banner-hot.bmp
#                             bitmaps 157 and 172: 152x68, 24 bits, normal and highlighted
#   banner-cursor.png         cursor 179: 32x32 PNG with alpha, hotspot the top-left pixel
#
# The SVG and the PNG icons come from the same shapes, given once below in SVG path syntax.
set -euo pipefail
cd "$(dirname "$0")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# ImageMagick writes its own date into PNG chunks; leave it out so reruns give equal files.
png_opts=(-strip -define png:exclude-chunks=date,time)

# The icon on a 64x64 grid: a blue rounded square with two opposed arrows.
icon_bg="#1f6feb"
icon_edge="#1558c0"
arrow_right="M12 19 H40 V13 L53 22 L40 31 V25 H12 Z"
arrow_left="M52 39 H24 V33 L11 42 L24 51 V45 H52 Z"
arrow_right_fill="#ffffff"
arrow_left_fill="#ffd166"

svg=share/icons/hicolor/scalable/apps/org.meridal.Meridal.svg
mkdir -p "$(dirname "$svg")" share/icons/hicolor/256x256/apps
cat > "$svg" <<SVG
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <rect x="4" y="4" width="56" height="56" rx="12" ry="12" fill="$icon_bg" stroke="$icon_edge" stroke-width="1.5"/>
  <path d="$arrow_right" fill="$arrow_right_fill"/>
  <path d="$arrow_left" fill="$arrow_left_fill"/>
</svg>
SVG

# MVG drawing of the icon at `scale` times the 64-unit grid.
icon_mvg() {
  local scale=$1
  cat <<MVG
viewbox 0 0 $((64 * scale)) $((64 * scale))
scale $scale,$scale
fill '$icon_bg'
stroke '$icon_edge'
stroke-width 1.5
roundrectangle 4,4 60,60 12,12
stroke none
fill '$arrow_right_fill'
path '$arrow_right'
fill '$arrow_left_fill'
path '$arrow_left'
MVG
}

convert -background none -size 256x256 xc:none -draw "$(icon_mvg 4)" \
  "${png_opts[@]}" PNG32:share/icons/hicolor/256x256/apps/org.meridal.Meridal.png
convert share/icons/hicolor/256x256/apps/org.meridal.Meridal.png -filter Lanczos -resize 128x128 \
  "${png_opts[@]}" PNG32:meridal-icon.png

# Button bitmaps: 24x24 on the button face colour, drawn on a 96x96 grid and scaled down.
face="#f0f0f0"
button() {
  local out=$1 draw=$2
  convert -size 96x96 "xc:$face" -draw "$draw" -filter Lanczos -resize 24x24 \
    -fill "$face" -draw "point 0,0" -alpha off -type TrueColor BMP3:"$out"
}
# Add to the log: a green plus.
button log-add.bmp "fill '#2e9d48' stroke '#1f7a35' stroke-width 3
  roundrectangle 40,14 56,82 4,4 roundrectangle 14,40 82,56 4,4"
# Delete the entry: a red cross.
button log-delete.bmp "stroke '#d64541' stroke-width 15 stroke-linecap round
  line 26,26 70,70 line 70,26 26,70"
# Clear the log: a waste bin.
button log-clear.bmp "fill '#6b7785' stroke '#4a5461' stroke-width 3
  roundrectangle 18,18 78,28 3,3 roundrectangle 38,10 58,20 3,3
  path 'M24 32 H72 L67 86 H29 Z'
  stroke '#f0f0f0' stroke-width 4 line 40,40 41,78 line 48,40 48,78 line 56,40 55,78"
# Restore the entry into the converter: a blue arrow turning back up.
button log-restore.bmp "fill none stroke '#1f6feb' stroke-width 12 stroke-linecap round
  path 'M74 80 V56 A22 22 0 0 0 52 34 H34'
  fill '#1f6feb' stroke none path 'M40 14 L12 34 L40 54 Z'"

# Banners: the mark and the name on a soft panel; the highlighted one warm and lit.
convert -background none -size 256x256 xc:none -draw "$(icon_mvg 4)" \
  -filter Lanczos -resize 40x40 "$scratch/mark.png"
banner() {
  local out=$1 top=$2 bottom=$3 edge=$4 text=$5 glow=$6
  local lit=()
  if [ "$glow" != none ]; then
    lit=(\( -size 152x68 xc:none -font DejaVu-Sans-Bold -pointsize 20 -fill "$glow"
         -stroke "$glow" -strokewidth 3 -annotate +56+41 "Meridal" -blur 0x2.5 \) -composite)
  fi
  convert -size 152x68 "gradient:$top-$bottom" \
    -fill none -stroke "$edge" -strokewidth 2 -draw "roundrectangle 1,1 150,66 10,10" -stroke none \
    \( "$scratch/mark.png" \) -geometry +9+14 -composite \
    "${lit[@]}" \
    -stroke none -strokewidth 1 -font DejaVu-Sans-Bold -pointsize 20 -fill "$text" \
    -annotate +56+41 "Meridal" \
    -alpha off -type TrueColor BMP3:"$out"
}
banner banner.bmp "#f4f8ff" "#d9e5f8" "#b7c9e6" "#23324a" "none"
banner banner-hot.bmp "#fffdf2" "#ffeeb0" "#f0b429" "#1f6feb" "#ffffff"

# Cursor over the banner: a pointing hand whose fingertip is the top-left pixel. Drawn
# upright with the fingertip at (10.5,0), then turned to point up and to the left.
convert -size 32x32 xc:none -draw "
  translate 0.3,0.3 rotate -40 translate -10.5,0.6
  fill white stroke black stroke-width 1.2
  roundrectangle 2,15 8,21 3,3
  roundrectangle 12,9 16.5,17 2.2,2.2
  roundrectangle 15.5,10 20,17 2.2,2.2
  roundrectangle 19,11 23.5,18 2.2,2.2
  roundrectangle 4,13 23.5,27 5,5
  stroke none roundrectangle 5,13.8 22.7,20 3,3
  stroke black roundrectangle 8,0 13,16 2.5,2.5
  line 12.5,17 12.5,19 line 16,17 16,19 line 19.5,17.5 19.5,19" \
  "${png_opts[@]}" PNG32:banner-cursor.png
