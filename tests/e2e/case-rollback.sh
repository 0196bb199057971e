#!/usr/bin/env bash
# A failed install leaves the machine as it was. Over an earlier version (a file, an INI value, a registry
# value), as an ordinary user so that a read-only AUTOEXEC.BAT holds: the install writes its files,
# shortcut, INI and registry values, then cannot update AUTOEXEC.BAT and stops with exit code 4; every
# file below drive_c and every key and value of both registry roots is as before. Then an install killed
# while it asks before replacing a file: the next program of ours (here uninstaller.exe) undoes it first.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_unprivileged_prefix
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Rollback\nHeader=Rollback Product
[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>\n[Files - OverWrite]\nFile #1=1
[Desktop]\nIcon1=Rollback App~<INSTALLDIR>readme.txt~X~X~<INSTALLDIR>readme.txt~Rollback
[INI - Setup]\nIni1=rollback.ini~Paths~Home~<INSTALLDIR>
Reg1=HKEY_LOCAL_MACHINE\\Software\\YarE2E\\Rollback~Settings~Path~<INSTALLDIR>
Reg2=HKEY_CURRENT_USER\\Software\\YarE2E Rollback New~Options~Level~3
[AUTOEXEC.BAT]\nSET ROLLBACK=<INSTALLDIR>'
new_start_dir rollback "$config"
target='C:\E2E\Rollback'
dir=$(host_path "$target")
drive_c=$WINEPREFIX/drive_c
wine_user mkdir -p "$dir"
printf 'the earlier version\r\n' | wine_user tee "$dir/readme.txt" "$dir/data.bin" >/dev/null
printf '[Paths]\r\nHome=C:\\Old\\\r\n' | wine_user tee "$drive_c/windows/rollback.ini" >/dev/null
wine reg add 'HKLM\Software\YarE2E\Rollback\Settings' /v Path /d 'C:\Old' /f </dev/null >/dev/null 2>&1 ||
  fail "cannot add the earlier registry value"
printf '@ECHO OFF\r\n' | wine_user tee "$drive_c/autoexec.bat" >/dev/null
wine_user chmod 0444 "$drive_c/autoexec.bat"

# Every file of the prefix but the setup's log, which this case reads, and the earlier working directory
# every run is given to leave alone (checked by each run).
snapshot_now() { snapshot "$1" && grep -vE 'e2e-rollback|/yar-a{16}' "$1" >"$1.kept" && mv "$1.kept" "$1"; }
expect_as_before() { # what snapshot
  local diff
  diff=$(changes "$e2e_run/before" "$2")
  [ -z "$diff" ] || fail "$1: the machine is not as it was:"$'\n'"$diff"
}

# Wine makes the new profile's desktop folder whenever its desktop process gets to it: here, first.
wine_user mkdir -p "$(host_path "$(wine cmd /c 'echo %USERPROFILE%' </dev/null | tr -d '\r')")/Desktop"
# Every start of the setup plants an earlier run's leftovers in the temporary directory: they are there
# before the install too, whichever cases ran in the prefix first.
seed_leftover
snapshot_now "$e2e_run/before"
log='C:\e2e-rollback.log'
watch_setup_from "$start_dir" /VERYSILENT /OVERWRITE=yes "/LOG=$log"
expect_eq "stopped install: exit code" 4 "$setup_status"
log=$(host_path "$log")
expect_log "$log" 'Failure: Cannot create file C:\autoexec.bat'
expect_log "$log" "Installed: "
expect_log "$log" 'Undone: the install changed nothing'
snapshot_now "$e2e_run/stopped"
expect_as_before "after the stop" "$e2e_run/stopped"
echo "note: before and after the stopped install: $(figures "$e2e_run/before"); $(figures "$e2e_run/stopped")" >&2

# Killed at the question: readme.txt is replaced by then, data.bin asked about.
wine_user chmod 0644 "$drive_c/autoexec.bat"
snapshot_now "$e2e_run/before"
run_to_wizard
walk_to_ready >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
drive --timeout "$E2E_WAIT" text Confirm >/dev/null || fail "no question before replacing data.bin"
cmp -s "$diskset/files/readme.txt" "$dir/readme.txt" || fail "readme.txt was not replaced before the question"
wine_user pkill -KILL -f 'install\.exe' || fail "cannot kill install.exe"
expect_setup_ends
journals=$(host_path 'C:\windows\YAR Setup\Journals')
ls "$journals"/install-*/journal.txt >/dev/null 2>&1 || fail "the killed install left no journal"

wine_within "$E2E_WAIT" "$YAR_UNINSTALLER_EXE" /S </dev/null >>"$e2e_run/wine.log" 2>&1 || true
snapshot_now "$e2e_run/recovered"
expect_as_before "after the killed install was undone" "$e2e_run/recovered"
[ ! -e "$journals" ] || fail "the journals' directory is left: $(ls -R "$journals")"
