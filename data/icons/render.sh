#!/bin/sh
# Renders the program's icon from its SVG source into the PNG sizes of the hicolor theme, so that
# desktops without an SVG loader show it too. Needs rsvg-convert (Debian librsvg2-bin).
set -e
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" org.quorbel.Quorbel.svg -o "org.quorbel.Quorbel-$size.png"
done
