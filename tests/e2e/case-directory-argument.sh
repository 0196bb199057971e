#!/usr/bin/env bash
# The setup files in a directory named by the first argument, install.exe started from elsewhere: the
# configuration comes from that directory. At the end the directory stays with everything in it, unless it
# lies below the system's temporary directory, where a setup started from a temporary copy of its media has
# it: then it is emptied and removed.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
completed='Your installation of \rRead From The Argument\rhas be completed.\r\rPlease Remove any floppies from drive.'
new_start_dir directory-argument $'[Setup - Main]\nShow Re-Boot=0\nHeader=Read From The Argument'
echo "left by the builder" >"$start_dir/extra.txt"
# A running program's file cannot be deleted: the one that runs is a copy outside that directory.
mkdir -p "$e2e_run/elsewhere"
cp "$start_dir/install.exe" "$e2e_run/elsewhere/"
kept=$(cd "$start_dir" && find . -type f | sort)
run_to_wizard_from "$e2e_run/elsewhere" "Z:${start_dir//\//\\}"
install_with "$completed"
expect_eq "the distribution folder after the run" "$kept" "$(cd "$start_dir" && find . -type f | sort)"

# The same files in a folder below the temporary directory, named quoted and with a trailing backslash.
temp_win=$(wine cmd /c 'echo %TEMP%' </dev/null | tr -d '\r')
temp_copy=$(host_path "$temp_win")
temp_copy="${temp_copy//\\//}/yar-e2e-dist"
rm -rf "$temp_copy"
cp -r "$start_dir" "$temp_copy"
start_dir=$temp_copy
# Through a batch file, so that install.exe gets the command line exactly as typed.
printf 'install.exe "%s\\yar-e2e-dist\\"\r\n' "$temp_win" >"$e2e_run/elsewhere/setup-from-temp.bat"
seed_leftover
start_in "$e2e_run/elsewhere" cmd /c setup-from-temp.bat
wait_window "$MAIN_CAPTION"
wait_window "$WIZARD_CAPTION"
expect_expanded
install_with "$completed"
[ ! -e "$temp_copy" ] || fail "the temporary copy is still there: $(find "$temp_copy" -mindepth 1 -printf '%f ')"
