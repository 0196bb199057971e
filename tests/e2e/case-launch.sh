#!/usr/bin/env bash
# A Launch value naming an ordinary program: the launch choice is preselected, the restart choice shown
# but not chosen. An install that ends with the launch shows no message.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir launch $'[Setup - Main]\nLaunch=<INSTALLDIR>bin\\app.exe,/s'
run_to_wizard

expect_end_choice "visible enabled checked" "visible enabled unchecked" "visible enabled unchecked"
install_with ''
