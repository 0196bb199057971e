#!/usr/bin/env bash
# The disk set every case puts beside install.exe, packed by yar: a text file and a binary file in two
# volumes, disk.001 and disk.002. The cases compare what install.exe expands with these files. Beside it a
# product's set in one volume: a licence, a GIF and a BMP picture (magenta, 40 x 30) and a readme.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}"
rm -rf "$YAR_DISKSET"
mkdir -p "$YAR_DISKSET/files"
files="$YAR_DISKSET/files"
for ((i = 1; i <= 400; i++)); do printf 'Line %d of the readme of the end-to-end disk set.\r\n' "$i"; done \
  >"$files/readme.txt"
# Bytes that do not compress, so that the set needs a second volume.
bytes="" x=12345
for ((i = 0; i < 24000; i++)); do
  x=$(((x * 1103515245 + 12345) & 0x7fffffff))
  printf -v hex '\\x%02x' $(((x >> 16) & 255))
  bytes+=$hex
done
printf '%b' "$bytes" >"$files/data.bin"
(cd "$files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack --volume-size 16k -q ../disk.001 readme.txt data.bin \
  </dev/null) || fail "yar pack failed"
for volume in disk.001 disk.002; do [ -s "$YAR_DISKSET/$volume" ] || fail "no $volume written"; done
echo "disk set: $(cd "$YAR_DISKSET" && stat -c '%n %s' disk.*)"

product="$YAR_DISKSET-product"
rm -rf "$product"
mkdir -p "$product/files"
for ((i = 1; i <= 30; i++)); do printf 'Licence line %d: you may install this product on one machine.\r\n' "$i"; done \
  >"$product/files/license.txt"
cp "$files/readme.txt" "$product/files/"
# Two frames, so that the animator has something to play. Neither picture is the last file, so both show.
convert -size 40x30 xc:'#FF00FF' \( -size 40x30 xc:'#FF00FF' -fill '#00FFFF' -draw 'point 20,15' \) \
  -set delay 20 -loop 0 "$product/files/logo.gif"
convert -size 40x30 xc:'#FF00FF' "BMP3:$product/files/logo.bmp"
(cd "$product/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q ../disk.001 logo.gif logo.bmp license.txt \
  readme.txt </dev/null) || fail "yar pack of the product set failed"
echo "product set: $(cd "$product" && stat -c '%n %s' disk.*)"

# An installable product: a program that records how it was started, the uninstaller, and a file for every
# kind of directory the configuration can name.
install="$YAR_DISKSET-install"
rm -rf "$install"
mkdir -p "$install/files"
cp "${YAR_LAUNCH_PROBE:?}" "$install/files/probe.exe"
cp "$files/readme.txt" "$files/data.bin" "$install/files/"
cp "${YAR_UNINSTALLER_EXE:?}" "$install/files/uninstaller.exe"
for name in settings.ini notes.txt acme.fon acmelib.dll shared.dat common.dat; do
  printf 'New %s of the product.\r\n' "$name" >"$install/files/$name"
done
(cd "$install/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q ../disk.001 probe.exe readme.txt \
  data.bin uninstaller.exe settings.ini notes.txt acme.fon acmelib.dll shared.dat common.dat </dev/null) ||
  fail "yar pack of the installable product failed"
echo "installable product set: $(cd "$install" && stat -c '%n %s' disk.*)"
