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
  -strip -depth 8 "PNG32:$tmp/icon48.png"
for size in 32 16; do convert "$tmp/icon48.png" -resize ${size}x${size} -strip -depth 8 "PNG32:$tmp/icon$size.png"; done
mkdir -p "$(dirname "$out")"
# Each size stored as PNG (Windows reads PNG icon images since Vista): a few hundred bytes instead of
# the several kilobytes of an uncompressed 32-bit bitmap, in every program that carries the icon.
python3 - "$out" "$tmp"/icon16.png "$tmp"/icon32.png "$tmp"/icon48.png <<'PY'
import struct, sys
out, pngs = sys.argv[1], [open(name, "rb").read() for name in sys.argv[2:]]
entries, offset = b"", 6 + 16 * len(pngs)
for png in pngs:
    width, height = struct.unpack(">II", png[16:24])
    entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
with open(out, "wb") as icon:
    icon.write(struct.pack("<HHH", 0, 1, len(pngs)) + entries + b"".join(pngs))
PY
echo "$out: $(identify "$out" | wc -l) images"
