#!/usr/bin/env bash
# The disk set every case puts beside install.exe: one volume, disk.001, holding a text file and a binary
# file, written by yarmkset. The cases compare what install.exe expands with these files.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_MKSET:?}" "${YAR_DISKSET:?}"
fixture=$(dirname "$YAR_DISKSET")
rm -rf "$fixture"
mkdir -p "$fixture/files"
for ((i = 1; i <= 400; i++)); do printf 'Line %d of the readme of the end-to-end disk set.\r\n' "$i"; done \
  >"$fixture/files/readme.txt"
bytes="" x=12345
for ((i = 0; i < 5000; i++)); do
  x=$(((x * 1103515245 + 12345) & 0x7fffffff))
  printf -v hex '\\x%02x' $(((x >> 16) & 255))
  bytes+=$hex
done
printf '%b' "$bytes" >"$fixture/files/data.bin"
(cd "$fixture/files" && timeout "$E2E_WAIT" wine "$YAR_MKSET" readme.txt data.bin </dev/null) ||
  fail "yarmkset failed"
mv "$fixture/files/disk.001" "$YAR_DISKSET"
[ -s "$YAR_DISKSET" ] || fail "no disk set written"
echo "disk set: $(stat -c %s "$YAR_DISKSET") bytes"
