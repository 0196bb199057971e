#!/usr/bin/env bash
# Each exit code made to happen: 1 for a bad switch (no box in a run that asks nothing) and for an unknown
# /FOO, which stays the directory argument as ever (the error box); 2 for a cancelled wizard; 3 for a
# missing volume in a silent run (at once, no prompt, the log naming the volume); 4 for an installation
# directory that cannot be made; 5 for a restart left undone by /NORESTART.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Codes\n[Files]\nFile1=readme.txt~<INSTALLDIR>'
new_start_dir exit-codes "$config"

watch_setup_from "$start_dir" /VERYSILENT /TYPE=big
expect_eq "bad switch: exit code" 1 "$setup_status"
expect_eq "bad switch: window of ours" "" "$ours_seen"

start_in "$start_dir" "$start_dir/install.exe" /FOO
expected=$(drive syserror 2 | sed -E 's/(\\r|\\n| )+$//')
expect_message "$expected"
expect_setup_ends
expect_eq "/FOO: exit code" 1 "$setup_status"

run_to_wizard
close_wizard
expect_eq "cancelled: exit code" 2 "$setup_status"

log='C:\e2e-exit-codes.log'
rm -f "$start_dir/disk.002"
watch_setup_from "$start_dir" /SILENT "/LOG=$log"
expect_eq "missing volume: exit code" 3 "$setup_status"
if grep -qxF "$APP_TITLE" <<<"$ours_seen"; then fail "missing volume: a box was shown"; fi
if grep -qF 'Message:' "$(host_path "$log")"; then fail "missing volume: a prompt was logged"; fi
expect_log "$(host_path "$log")" "Failure: The volume Z:${start_dir//\//\\}\\disk.002 is missing."
expect_log "$(host_path "$log")" 'End: exit code 3'
cp "$diskset/disk.002" "$start_dir/"

watch_setup_from "$start_dir" /VERYSILENT '/DIR=C:\E2E\bad|name'
expect_eq "install stopped: exit code" 4 "$setup_status"

printf '%s\n' $'[Setup - Main]\nShow Re-Boot=1\nInstall Dir=E2E\\Codes\n[Directories]\nDir1=<INSTALLDIR>~' |
  sed 's/$/\r/' >"$start_dir/install.cfg"
watch_setup_from "$start_dir" /VERYSILENT /NORESTART
expect_eq "restart needed: exit code" 5 "$setup_status"
