#!/usr/bin/env bash
# An ordinary user made the installation directory first, below C:\, with a read-only program in it; the
# administrator then runs the setup unattended. The directory is another account's: the run stops with
# exit code 4 before writing anything, and the planted program is neither replaced, recorded nor run.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_shared_prefix
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=Install Dir\nLaunch=<INSTALLDIR>readme.txt\n[Files]\nFile1=readme.txt~<INSTALLDIR>'
new_start_dir planted-destination "$config"
target='C:\Install Dir'
dir=$(host_path "$target")
plant mkdir "$dir"
printf 'planted\r\n' | plant tee "$dir/readme.txt" >/dev/null
plant chmod 0444 "$dir/readme.txt"
before=$(find "$dir" -printf '%p %M %u %s\n' | sort)

log='C:\e2e-planted-destination.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
expect_eq "exit code" 4 "$setup_status"
expect_eq "the planted directory" "$before" "$(find "$dir" -printf '%p %M %u %s\n' | sort)"
expect_eq "the planted program" "planted" "$(tr -d '\r' <"$dir/readme.txt")"
log=$(host_path "$log")
grep -qF "Failure: The destination $target is not safe: " "$log" || fail "no failure naming $target"
if grep -qE '^ *[0-9.]+ (Installed|Launched|Directory):' "$log"; then fail "something was written"; fi
expect_log "$log" "End: exit code 4"
echo "note: $(grep -o "Failure: .*" "$log" | tr -d "\r")" >&2
