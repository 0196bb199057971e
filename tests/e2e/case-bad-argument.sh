#!/usr/bin/env bash
# A first argument that names no directory: the system's text for the failed change of directory in an
# error box, then the run ends without a working directory and without any further message.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir bad-argument $'[Setup - Main]\nShow Re-Boot=0'
clear_work_dir
missing="$start_dir/no such directory"
start_in "$start_dir" "$start_dir/install.exe" "Z:${missing//\//\\}"

# SetCurrentDirectory fails with ERROR_FILE_NOT_FOUND (2): the box shows the system's own text for it,
# with its line end taken off.
expected=$(drive syserror 2 | sed -E 's/(\\r|\\n| )+$//')
[ -n "$expected" ] || fail "no system text for error 2"
expect_message "$expected"
expect_setup_ends
expect_work_dir_gone
