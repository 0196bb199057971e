#!/usr/bin/env bash
# No install.cfg in the start directory: the defaults are shown, but the preparation cannot copy the
# configuration into the working directory, so the expansion fails, the restart preselected by the
# defaults is withdrawn, no wizard appears and the run ends as cancelled.
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir no-config
clear_work_dir
start_in "$start_dir" "$start_dir/install.exe"
wait_window "$MAIN_CAPTION"
shoot_background
expect_gradient 0xFF0000 0
expect_header_pixels 0 0xFFFFFF

expect_message 'Error Expanding Files!!'
expect_message 'Your installation was canceled!'
expect_setup_ends
expect_work_dir_gone
drive visible "$WIZARD_CAPTION" >/dev/null && fail "the wizard was shown"
true
