#!/usr/bin/env bash
# Draws the installer's pictures and icon with ImageMagick. The results are
# committed (resources/*.bmp, resources/qvsetup.ico, package/Bin/qv.ico), so the
# build never runs this; run it again only to change a picture.
# Bitmaps: 16 colours (4 bits per pixel, BMP3), compressed as BI_RLE4 by
# bmp-rle4.py (about a fifth of the plain size). Icon: one 32 x 32 image, 256 colours.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

orange='#F07800'
green='#2E8B3A'
bold=DejaVu-Sans-Bold
plain=DejaVu-Sans
bmp16=(+dither -colors 16 -type Palette -compress None)

# 104: the title banner, shared by the welcome and the finish dialog. The
# strip below it overlaps its foot where the dialog font has smaller base
# units than MS Sans Serif (Wine shows 132 of the 144 rows), so the subtitle
# ends above row 130.
convert -size 400x144 xc:"$orange" -fill "$green" \
  -draw 'rectangle 0,106 399,143' -draw 'rectangle 300,0 399,105' \
  -fill white -font "$bold" -pointsize 92 -annotate +38+90 'QV' \
  -font "$plain" -pointsize 17 -annotate +14+124 'Simulationsbeispiele für PSpice Student' \
  "${bmp16[@]}" BMP3:"$work/banner.bmp"
python3 scripts/bmp-rle4.py "$work/banner.bmp" resources/banner.bmp

# 105 and 106: the lower strip; the buttons cover its right part, so the two
# lines of text stay left of x = 215.
strip() {
  convert -size 400x48 xc:"$orange" -fill white -font "$bold" -pointsize 13 \
    -annotate +12+20 "$2" -annotate +12+38 "$3" "${bmp16[@]}" "BMP3:$work/strip.bmp"
  python3 scripts/bmp-rle4.py "$work/strip.bmp" "$1"
}
strip resources/welcome.bmp 'Installation der' 'PSpice-Simulationsbeispiele'
strip resources/finish.bmp 'Die PSpice-Simulationsbeispiele' 'wurden erfolgreich installiert'

# The program icon, also the package's document icon.
convert -size 32x32 xc:"$orange" -fill "$green" -draw 'rectangle 0,22 31,31' \
  -fill white -font "$bold" -pointsize 15 -annotate +2+19 'QV' \
  +dither -colors 256 -type Palette "BMP3:$work/icon.bmp"
convert "$work/icon.bmp" -define icon:auto-resize=32 ICO:resources/qvsetup.ico
mkdir -p package/Bin
cp resources/qvsetup.ico package/Bin/qv.ico
