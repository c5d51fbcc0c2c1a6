#!/bin/sh
# Renders the tool bar images from their SVG sources into the PNGs the program loads (16 px and
# 32 px for high-density screens), so the program needs no SVG plug-in. Needs ImageMagick.
# ImageMagick's own SVG renderer carries a stroke over from one element to the next: give every
# element an explicit stroke.
set -e
cd "$(dirname "$0")"
for svg in *.svg; do
    name=${svg%.svg}
    convert -background none -density 384 "$svg" -resize 16x16 "PNG32:$name.png"
    convert -background none -density 384 "$svg" -resize 32x32 "PNG32:$name@2x.png"
done
