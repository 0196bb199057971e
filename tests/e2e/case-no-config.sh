#!/usr/bin/env bash
# No install.cfg in the start directory: the preparation cannot copy it into the working directory, so the
# expansion fails. No wizard is shown, and although every default preselects the restart, the run ends
# with the cancel message and never restarts Windows.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir no-config
start_setup
wait_window "$MAIN_CAPTION"
wait_window "$PREPARE_CAPTION"
shoot_background
expect_gradient 0xFF0000 0
expect_header_pixels 0 0xFFFFFF
expect_failed_preparation
