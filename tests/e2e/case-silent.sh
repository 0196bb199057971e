#!/usr/bin/env bash
# /SILENT: the background and the progress show, but no page of the wizard and no message; the existing
# file marked for the question is kept without asking; the run ends by itself with exit code 0.
# With /OVERWRITE=yes the next run replaces it, still without asking.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir silent $'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Silent\n[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>\n[Files - OverWrite]\nFile #0=1'
target='C:\E2E\Silent'
dir=$(host_path "$target")
rm -rf "$dir"
mkdir -p "$dir"
echo "the user's own" >"$dir/readme.txt"
log='C:\e2e-silent.log'
watch_setup_from "$start_dir" /SILENT "/LOG=$log"
expect_eq "exit code" 0 "$setup_status"
grep -qxF "$MAIN_CAPTION" <<<"$ours_seen" || fail "no background seen ($ours_seen)"
if grep -qxF "$APP_TITLE" <<<"$ours_seen"; then fail "a message box was shown"; fi
cmp -s "$diskset/files/data.bin" "$dir/data.bin" || fail "data.bin not installed"
expect_eq "kept file" "the user's own" "$(cat "$dir/readme.txt")"
expect_log "$(host_path "$log")" 'File Already Exists (readme.txt). Overwrite? - answer: No'
expect_log "$(host_path "$log")" "Skipped: $target\\readme.txt - the existing file is kept"
if grep -q 'Your installation' "$(host_path "$log")"; then fail "an end message was shown"; fi

watch_setup_from "$start_dir" -silent -overwrite=YES
expect_eq "exit code" 0 "$setup_status"
cmp -s "$diskset/files/readme.txt" "$dir/readme.txt" || fail "readme.txt not replaced with /OVERWRITE=yes"
