#!/usr/bin/env bash
# No program to launch and "Show Re-Boot" on: the restart is preselected, and an install ends with the
# restart message and then a restart of Windows. That ends every program of the prefix, so this case runs
# in a disposable copy; a RunOnce entry there leaves a marker when the prefix starts again, which shows that
# the restart was really asked for. An unattended install that stops on a failure never restarts.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_disposable_prefix
arm_restart_marker

# An unattended install that stops on a failure (here: no row for the installation directory) keeps the
# preselected restart, and still neither restarts nor launches: exit code 4, and the log says no restart.
for mode in SILENT VERYSILENT; do
  new_start_dir "restart-stopped-${mode,,}" $'[Setup - Main]\nShow Re-Boot=1\n[Directories]\nDir1=<WINDOWS>~'
  log="C:\\e2e-stopped-${mode,,}.log"
  rm -f "$(host_path "$log")"
  watch_setup_from "$start_dir" "/$mode" "/LOG=$log"
  expect_eq "/$mode, install stopped: exit code" 4 "$setup_status"
  expect_log "$(host_path "$log")" 'End: exit code 4'
  if grep -qF 'Restarting Windows' "$(host_path "$log")"; then fail "/$mode: the stopped install restarted"; fi
  sleep 1
  [ ! -e "$restart_marker" ] || fail "/$mode: the stopped install restarted Windows"
done

new_start_dir restart $'[Setup - Main]\nShow Re-Boot=1'
run_to_wizard

expect_end_choice "visible disabled unchecked" "visible enabled unchecked" "visible enabled checked"
[ ! -e "$restart_marker" ] || fail "restart marker present before the restart"
install_with 'Tarnwick is about to RE-BOOT your PC\r\rPlease Remove any floppies from drive.\r\rClick on OK when ready.'
for ((i = 0; i < E2E_WAIT * 10; i++)); do [ -e "$restart_marker" ] && break; sleep 0.1; done
[ -e "$restart_marker" ] || fail "the prefix did not go through a restart (no RunOnce marker)"
