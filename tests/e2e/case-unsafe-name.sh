#!/usr/bin/env bash
# A tampered set: one entry and its name-list record renamed to "../../yar-escaped.dll", which Windows
# reads as two steps up from the working directory. The preparation fails (exit code 3 in a silent run),
# the log names the entry, and no yar-escaped.dll appears anywhere on drive C:.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
tampered="$YAR_E2E_OUT/diskset-tampered"
rm -rf "$tampered" && mkdir -p "$tampered/files"
cp "$YAR_DISKSET/files/readme.txt" "$tampered/files/"
# One length and one byte sum with "../../", so that the stored name list keeps its checksum.
echo "planted" >"$tampered/files/..,.2.yar-escaped.dll"
(cd "$tampered/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q -m none ../disk.001 readme.txt \
  '..,.2.yar-escaped.dll' </dev/null) || fail "yar pack of the set to tamper with failed"
"$(dirname "$0")/../yar/rename-entry.sh" "$tampered/disk.001" '..,.2.yar-escaped.dll' '../../yar-escaped.dll' ||
  fail "renaming the entry failed"
diskset=$tampered
new_start_dir unsafe-name $'[Setup - Main]\nShow Re-Boot=0\n[Files]\nFile1=readme.txt~<INSTALLDIR>'
log='C:\e2e-unsafe-name.log'
rm -f "$(host_path "$log")"
find "$WINEPREFIX/drive_c" -iname yar-escaped.dll -delete
watch_setup_from "$start_dir" /VERYSILENT '/DIR=C:\E2E\Unsafe Name' "/LOG=$log"

expect_eq "exit code" 3 "$setup_status"
expect_log "$(host_path "$log")" 'Failure: Unsafe entry name "../../yar-escaped.dll": it climbs out of its directory'
escaped=$(find "$WINEPREFIX/drive_c" -iname yar-escaped.dll)
expect_eq "files named yar-escaped.dll on drive C:" "" "$escaped"
