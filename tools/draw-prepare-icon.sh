#!/usr/bin/env bash
# Draws the preparation window's animated icon (32 x 32, eight frames): a floppy disk whose contents
# pour as an arrow into an open box. The GIF is committed as install/res/prepare.gif; run this script
# again after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-install/res/prepare.gif}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for n in 0 1 2 3 4 5 6 7; do
  y=$((9 + n * 2)) # the arrow's tip moves from the disk down into the box
  convert -size 32x32 xc:'#c0c0c0' \
    -fill '#000080' -draw 'rectangle 2,1 17,16' \
    -fill '#c0c0c0' -draw 'rectangle 6,1 13,6' -fill '#000080' -draw 'rectangle 10,2 11,5' \
    -fill white -draw 'rectangle 5,9 14,15' \
    -fill '#806000' -draw 'polygon 12,21 30,21 27,30 15,30' \
    -fill '#c0a040' -draw 'polygon 12,21 15,18 27,18 30,21' \
    -fill '#008000' -draw "rectangle 20,$((y - 6)) 22,$y" \
    -draw "polygon 17,$((y - 1)) 25,$((y - 1)) 21,$((y + 3))" \
    "$tmp/frame$n.gif"
done
convert -delay 12 -loop 0 "$tmp"/frame?.gif -layers Optimize "$out"
echo "$out: $(identify "$out" | wc -l) frames"
