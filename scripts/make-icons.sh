#!/bin/sh
# Renders the application icon's larger theme sizes from its drawing (data/icons/quillmere.mvg,
# the same shapes as quillmere.svg) with ImageMagick. Run once after changing the drawing and
# commit the PNGs; the 16 and 32 pixel icons are the hand-made ones in res/.
set -e
cd "$(dirname "$0")/../data/icons"
CONVERT=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# Drawn four times larger and scaled down, for smooth edges.
$CONVERT -size 1024x1024 xc:none -draw "scale 4,4 $(tr '\n' ' ' < quillmere.mvg)" "$tmp/big.png"
for size in 48 64 128 256; do
    $CONVERT "$tmp/big.png" -resize "${size}x${size}" -strip "PNG32:quillmere-$size.png"
done
