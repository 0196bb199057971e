#!/usr/bin/env bash
# A click on the preparation window asks whether to abort. No: the expansion goes on to the wizard. Abort:
# the run ends by itself, without the wizard and without the preselected restart. A restart would end
# every program of the prefix, so the second run is made in a disposable copy whose RunOnce entry would
# leave a marker if the prefix went through one.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
config=$'[Setup - Main]\nShow Re-Boot=1'

# Clicks the window's background (clear of its label, icon and gauge) as soon as it shows, well inside
# the second it waits before expanding, and checks the question.
click_to_abort_question() {
  start_setup
  drive --timeout "$E2E_WAIT" click-at "$PREPARE_CAPTION" 20 75 || fail "no preparation window to click"
  local text
  text=$(drive --timeout "$E2E_WAIT" text Warning) || { show_windows; fail "no abort question"; }
  expect_eq "abort question" 'Abort Setup Process ?' "$text"
}

new_start_dir abort-no "$config"
click_to_abort_question
drive answer Warning "&No" || fail "cannot answer No"
wait_window "$WIZARD_CAPTION"
expect_expanded
close_wizard

use_disposable_prefix
new_start_dir abort "$config"
arm_restart_marker
click_to_abort_question
drive answer Warning "&Abort" || fail "cannot answer Abort"
# The application was asked to end: the boxes on the way close by themselves.
expect_setup_ends
expect_work_dir_gone
sleep 2
[ ! -e "$restart_marker" ] || fail "the aborted run restarted Windows"
