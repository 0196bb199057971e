#!/usr/bin/env bash
# The setup files in a directory named by the first argument, install.exe started from elsewhere: the
# configuration comes from that directory, and at the end the directory is emptied and removed.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir directory-argument $'[Setup - Main]\nShow Re-Boot=0\nHeader=Read From The Argument'
echo "left by the builder" >"$start_dir/extra.txt"
# A running program's file cannot be deleted: the one that runs is a copy outside that directory.
mkdir -p "$e2e_run/elsewhere"
cp "$start_dir/install.exe" "$e2e_run/elsewhere/"
run_to_wizard_from "$e2e_run/elsewhere" "Z:${start_dir//\//\\}"

install_with 'Your installation of \rRead From The Argument\rhas be completed.\r\rPlease Remove any floppies from drive.'
[ ! -e "$start_dir" ] || fail "the argument's directory is still there: $(find "$start_dir" -mindepth 1 -printf '%f ')"
