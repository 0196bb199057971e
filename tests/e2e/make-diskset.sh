#!/usr/bin/env bash
# The disk set every case puts beside install.exe, packed by yar: a text file and a binary file in two
# volumes, disk.001 and disk.002. The cases compare what install.exe expands with these files.
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
(cd "$files" && timeout "$E2E_WAIT" wine "$YAR_TOOL" pack --volume-size 16k -q ../disk.001 readme.txt data.bin \
  </dev/null) || fail "yar pack failed"
for volume in disk.001 disk.002; do [ -s "$YAR_DISKSET/$volume" ] || fail "no $volume written"; done
echo "disk set: $(cd "$YAR_DISKSET" && stat -c '%n %s' disk.*)"
