#!/usr/bin/env bash
# The second volume is not there: the preparation asks twice for disk 2, then the set's own retry box
# takes over. Putting the volume in place and answering OK lets the expansion go on to the wizard.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir floppy $'[Setup - Main]\nShow Re-Boot=0'
mv "$start_dir/disk.002" "$e2e_run/disk.002"
start_setup
wait_window "$PREPARE_CAPTION"
expect_message 'Please Insert Disk #2 into Floppy Drive.'
expect_message 'Please Insert Disk #2 into Floppy Drive.'
text=$(drive --timeout "$E2E_WAIT" text Error) || { show_windows; fail "no retry box after the two prompts"; }
expect_eq "retry box" 'Unable to locate "disk.002" on this segment!\n\rCorrect and then press OK, or Cancel to abort' \
  "$text"
mv "$e2e_run/disk.002" "$start_dir/disk.002"
drive answer Error OK || fail "cannot answer the retry box"
wait_window "$WIZARD_CAPTION"
expect_expanded
close_wizard
