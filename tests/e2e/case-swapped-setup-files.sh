#!/usr/bin/env bash
# The media's owner swaps install.exe and install.cfg after the run has read them (here while the setup
# asks for the first disk): the working directory, and with it the installation directory, receives the
# program that runs and the configuration it follows, not the files now at those names. A control run
# with nothing swapped takes the same files.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_PROBE:?}"
new_start_dir swapped-setup-files $'[Setup - Main]\nShow Re-Boot=0'
cp "$start_dir/install.exe" "$e2e_run/install.exe.run"
cp "$start_dir/install.cfg" "$e2e_run/install.cfg.run"

# Starts the setup without disk 1; runs SWAP while the first prompt shows, then gives the disk back and
# waits for the wizard.
run_with_first_disk_late() { # swap
  mv "$start_dir/disk.001" "$e2e_run/disk.001"
  log_win="C:\\e2e-swapped-$1.log"
  rm -f "$(host_path "$log_win")"
  start_setup_from "$start_dir" "/LOG=$log_win"
  wait_window "$PREPARE_CAPTION"
  drive --timeout "$E2E_WAIT" text "$APP_TITLE" >/dev/null || { show_windows; fail "no prompt for disk 1"; }
  "$1"
  mv "$e2e_run/disk.001" "$start_dir/disk.001"
  expect_message 'Please Insert Disk #1 into Floppy Drive.'
  wait_window "$WIZARD_CAPTION" || { cat "$(host_path "$log_win")" >&2; exit 1; }
}
expect_setup_files_as_run() { # what
  local work
  work=$(work_dir)
  [ -n "$work" ] || fail "$1: no working directory of the run"
  cmp -s "$e2e_run/install.exe.run" "$work/install.exe" || fail "$1: install.exe is not the program that runs"
  cmp -s "$e2e_run/install.cfg.run" "$work/install.cfg" || fail "$1: install.cfg is not the one the run follows"
}

nothing() { :; }
run_with_first_disk_late nothing
expect_setup_files_as_run "nothing swapped"
close_wizard

swap() {
  # A running program's file cannot be replaced on Windows; its name can be given to another file.
  mv "$start_dir/install.exe" "$start_dir/install.exe.old"
  cp "$YAR_PROBE" "$start_dir/install.exe"
  printf '[Setup - Main]\r\nShow Re-Boot=0\r\nTitle=Swapped\r\n' >"$start_dir/install.cfg"
}
run_with_first_disk_late swap
expect_setup_files_as_run "swapped after the run read them"
close_wizard
