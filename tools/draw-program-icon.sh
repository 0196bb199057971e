#!/usr/bin/env bash
# Draws the programs' icon (16, 32 and 48 pixels): a blue box with a gold band and a green arrow
# pointing into it, the install in one picture. The icon is committed as cmake/res/yar.ico; run this
# script again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-cmake/res/yar.ico}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Drawn once at 48 pixels on a transparent ground, then scaled down.
convert -size 48x48 xc:none \
  -fill '#000080' -stroke '#000040' -strokewidth 2 -draw 'polygon 6,22 42,22 38,45 10,45' \
  -fill '#3050d0' -draw 'polygon 6,22 12,16 36,16 42,22' \
  -stroke none -fill '#e0b000' -draw 'rectangle 8,28 40,32' \
  -fill '#00a000' -stroke '#004000' -strokewidth 1 -draw 'rectangle 20,1 28,18' \
  -draw 'polygon 12,14 36,14 24,27' \
  "$tmp/icon48.png"
for size in 32 16; do convert "$tmp/icon48.png" -resize ${size}x${size} "$tmp/icon$size.png"; done
mkdir -p "$(dirname "$out")"
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$out"
echo "$out: $(identify "$out" | wc -l) images"
