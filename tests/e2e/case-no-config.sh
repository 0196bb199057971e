#!/usr/bin/env bash
# No install.cfg in the start directory: the defaults are shown, but the preparation cannot copy the
# configuration into the working directory, so the expansion fails, the restart preselected by the
# defaults is withdrawn, no wizard appears and the run ends as cancelled.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir no-config
clear_work_dir
start_in "$start_dir" "$start_dir/install.exe"
wait_window "$MAIN_CAPTION"
wait_window "$PREPARE_CAPTION"
shoot_background
expect_gradient 0xFF0000 0
expect_header_pixels 0 0xFFFFFF

# The preparation has made the working directory before it fails.
drive --timeout "$E2E_WAIT" text "$APP_TITLE" >/dev/null || fail "no message box from the preparation"
expect_work_dir_present
expect_message 'Error Expanding Files!!'
expect_message 'Your installation was canceled!'
expect_setup_ends
expect_work_dir_gone
