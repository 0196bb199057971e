#!/usr/bin/env bash
# Only what this run wrote is started: a read-only program of the Launch value's name lay in the
# installation directory before the run (the copy over it fails), and another beside install.exe, where
# the shell would find a bare name. As an ordinary user, so that the read-only bit holds: neither runs,
# and the log says why.
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

log='C:\e2e-planted-program.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
sleep 2 # a launched probe writes its record at once
for where in "$dir" "$start_dir"; do
  [ ! -e "$where/probe.txt" ] || fail "a planted program ran in $where: $(cat "$where/probe.txt")"
done
expect_log "$(host_path "$log")" "Not launched: $target\\probe.exe - not installed by this run"
if grep -q 'Launched:' "$(host_path "$log")"; then fail "the log says a program was launched"; fi
