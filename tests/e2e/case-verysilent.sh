#!/usr/bin/env bash
# /VERYSILENT: nothing of ours shows, the set is expanded and installed where /DIR says, the registry value
# and the uninstall record are written, and the run ends by itself with exit code 0. The log tells the
# run from its start to its exit code. An ordinary user has planted the Windows Temp's old names, and the
# administrator runs the setup: it takes nothing from them.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_shared_prefix
new_start_dir verysilent $'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=Unattended\n[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>\n[INI - Setup]\nReg1=HKEY_LOCAL_MACHINE\\Software\\YarE2E~Verysilent~Path~<INSTALLDIR>'
target='C:\E2E\Very Silent'
log='C:\e2e-verysilent.log'
rm -rf "$(host_path "$target")" "$(host_path "$log")"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target" "/LOG=$log"

expect_eq "window of ours" "" "$ours_seen"
expect_eq "exit code" 0 "$setup_status"
expect_work_dir_gone
dir=$(host_path "$target")
for file in readme.txt data.bin; do
  cmp -s "$diskset/files/$file" "$dir/$file" || fail "$file not installed in $target"
done
for file in install.exe install.cfg uninstall.cfg; do [ -f "$dir/$file" ] || fail "no $file in $target"; done
grep -qF 'readme.txt' "$dir/uninstall.cfg" || fail "uninstall.cfg does not list readme.txt"
wine reg query 'HKLM\Software\YarE2E\Verysilent' /v Path 2>/dev/null | grep -qF "$target" ||
  fail "the registry value was not written"

log=$(host_path "$log")
expect_log "$log" 'Start: YAR Setup '
expect_log "$log" '"/VERYSILENT"'
expect_log "$log" 'Volume: '
expect_log "$log" 'disk.002'
work=$(sed -n 's/.*Working directory: //p' "$log" | tr -d '\r')
[[ $work == C:\\users\\*\\yar-* ]] || fail "the working directory $work is not a new one in the user's Temp"
expect_log "$log" "Expanded: $work\\data.bin"
expect_log "$log" "Installed: $work\\readme.txt -> $target\\readme.txt ($(stat -c %s "$diskset/files/readme.txt") bytes)"
expect_log "$log" "Directory: $target"
expect_log "$log" 'Registry value: HKEY_LOCAL_MACHINE\Software\YarE2E\Verysilent Path='
expect_log "$log" 'End: exit code 0'
# One event a line, each with its time from the start.
bad=$(grep -cvE '^ *[0-9]+\.[0-9]{3} ' "$log" || true)
expect_eq "lines without a time" 0 "$bad"
