#!/usr/bin/env bash
# No program to launch and "Show Re-Boot" on: the restart is preselected, and an install ends with the
# restart message and then a restart of Windows. That ends every program of the prefix, so this case runs
# in a disposable copy; a RunOnce entry there leaves a marker when the prefix starts again, which shows that
# the restart was really asked for.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_disposable_prefix
new_start_dir restart $'[Setup - Main]\nShow Re-Boot=1'
arm_restart_marker
run_to_wizard

expect_end_choice "visible disabled unchecked" "visible enabled unchecked" "visible enabled checked"
[ ! -e "$restart_marker" ] || fail "restart marker present before the restart"
install_with 'Tarnwick is about to RE-BOOT your PC\r\rPlease Remove any floppies from drive.\r\rClick on OK when ready.'
for ((i = 0; i < E2E_WAIT * 10; i++)); do [ -e "$restart_marker" ] && break; sleep 0.1; done
[ -e "$restart_marker" ] || fail "the prefix did not go through a restart (no RunOnce marker)"
