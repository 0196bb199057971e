#!/usr/bin/env bash
# An installation directory that existed before the run and that every account may change (a folder
# another user made first below C:\): an unattended run stops with exit code 4 before writing anything,
# also when the destination lies below it; in the wizard the user is asked, No stops the install and
# Yes installs there.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Shared\n[Files]\nFile1=readme.txt~<INSTALLDIR>'
new_start_dir unsafe-destination "$config"
target='C:\E2E\Shared'
dir=$(host_path "$target")
rm -rf "$(host_path 'C:\E2E')"
mkdir -p "$dir"
chmod 0777 "$dir"
# Box texts come escaped: "\\" for a backslash.
shown=${target//\\/\\\\}
question="The destination $shown is not safe: Everyone may change it. Other users could replace the \
programs installed there before they run.\r\rInstall there anyway?"
stop_of() { echo "The destination $1 is not safe: Everyone may change it. Nothing was installed. Choose \
another directory."; }

for destination in "$target" "$target\\Below"; do
  log='C:\e2e-unsafe-destination.log'
  rm -f "$(host_path "$log")"
  watch_setup_from "$start_dir" /VERYSILENT "/DIR=$destination" "/LOG=$log"
  expect_eq "$destination: exit code" 4 "$setup_status"
  expect_log "$(host_path "$log")" "Failure: $(stop_of "$target")"
  expect_eq "$destination: written there" "" "$(ls -A "$dir")"
done

# The wizard asks; No stops the install with nothing written.
run_to_wizard
walk_to_ready >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
expect_box Warning "$question" "&No"
expect_message "$(stop_of "$shown")"
expect_eq "after No: written there" "" "$(ls -A "$dir")"
drive click "$WIZARD_CAPTION" "&Close" || fail "cannot press Close"
ends_with "$CANCELED_MESSAGE"
expect_eq "after No: exit code" 4 "$setup_status"

# Yes installs there.
run_to_wizard
walk_to_ready >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
expect_box Warning "$question" "&Yes"
ends_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
cmp -s "$diskset/files/readme.txt" "$dir/readme.txt" || fail "readme.txt not installed after Yes"

# A row of another kind receives files as the installation directory does, and is judged by its rule: the
# same folder named by <ALT1> stops an unattended run before anything is written, the safe installation
# directory included; the control installs once the folder is no longer open to everyone.
find "$dir" -mindepth 1 -delete
new_start_dir unsafe-destination-row $'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Safe
[Directories]\nDir1=<INSTALLDIR>~\nDir2=<ALT1>~E2E\\Shared\n[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<ALT1>'
safe=$(host_path 'C:\E2E\Safe')
log='C:\e2e-unsafe-row.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
expect_eq "a row's unsafe directory: exit code" 4 "$setup_status"
expect_log "$(host_path "$log")" "Failure: $(stop_of "$target")"
expect_eq "a row's unsafe directory: written there" "" "$(ls -A "$dir")"
[ ! -e "$safe" ] || fail "the installation directory was made before the unsafe row was judged"
chmod 0755 "$dir"
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
expect_eq "the row's directory no longer open to everyone: exit code" 0 "$setup_status"
cmp -s "$diskset/files/data.bin" "$dir/data.bin" || fail "data.bin not installed in the row's directory"
