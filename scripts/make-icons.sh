#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/kktconf.svg) into the PNG sizes
# the desktop menus use. The PNGs are committed; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" packaging/icons/kktconf.svg -o "packaging/icons/kktconf-$size.png"
done
ls packaging/icons
