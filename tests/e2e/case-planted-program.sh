#!/usr/bin/env bash
# Only what this run wrote is started: a read-only program of the Launch value's name lay in the
# installation directory before the run (the copy over it fails), and another beside install.exe, where
# the shell would find a bare name. As an ordinary user, so that the read-only bit holds: unattended, the
# install stops on the file it cannot write (exit code 4), or with /FILEERRORS=ignore leaves it out (exit
# code 6); neither program runs, and the log says why.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_unprivileged_prefix
diskset=$YAR_DISKSET-install
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=Planted Program\nLaunch=<INSTALLDIR>probe.exe,/planted\n[Files]\nFile1=bin\\probe.exe~<INSTALLDIR>'
new_start_dir planted-program "$config"
target='C:\Planted Program'
dir=$(host_path "$target")
wine_user mkdir -p "$dir"
wine_user cp "$diskset/files/probe.exe" "$dir/probe.exe"
wine_user chmod 0555 "$dir/probe.exe"
cp "$diskset/files/probe.exe" "$start_dir/probe.exe"
chmod 0777 "$start_dir" # the probe writes its record where it runs

expect_not_run() {
  sleep 2 # a launched probe writes its record at once
  for where in "$dir" "$start_dir"; do
    [ ! -e "$where/probe.txt" ] || fail "a planted program ran in $where: $(cat "$where/probe.txt")"
  done
  if grep -q 'Launched:' "$1"; then fail "the log says a program was launched"; fi
}

# Unattended, a file that cannot be written stops the install, which is undone.
log='C:\e2e-planted-program.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
expect_eq "exit code of the stopped install" 4 "$setup_status"
expect_log "$(host_path "$log")" "Failure: The file $target\\probe.exe cannot be installed: Cannot create file $target\\probe.exe"
expect_not_run "$(host_path "$log")"

# Told to leave such files out, it installs the rest, says it is incomplete, and starts nothing.
log='C:\e2e-planted-program-ignore.log'
watch_setup_from "$start_dir" /VERYSILENT /FILEERRORS=ignore "/LOG=$log"
expect_eq "exit code of the incomplete install" 6 "$setup_status"
expect_log "$(host_path "$log")" "Left out: $target\\probe.exe - Cannot create file $target\\probe.exe"
expect_log "$(host_path "$log")" "Not launched: $target\\probe.exe - not installed by this run"
expect_not_run "$(host_path "$log")"
