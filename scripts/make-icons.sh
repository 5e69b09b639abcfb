#!/usr/bin/env bash
# Renders the program icon from packaging/icons/quaddle.svg: PNGs for the
# desktop icon theme and the web app manifest (192 and 512), and the
# three-image Windows .ico. The results are
# committed; run this again after changing the SVG. Needs rsvg-convert
# (librsvg2-bin), ImageMagick and python3.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"

for size in 16 22 24 32 48 64 128 192 256 512; do
    rsvg-convert -w "$size" -h "$size" quaddle.svg -o "quaddle-$size.png"
done

raw() { convert "$1" -depth 8 rgba:-; }
python3 ../../scripts/make-ico.py quaddle.ico \
    32:1:<(raw quaddle-32.png) 32:4:<(raw quaddle-32.png) 16:4:<(raw quaddle-16.png)
