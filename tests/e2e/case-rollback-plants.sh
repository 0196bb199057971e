#!/usr/bin/env bash
# A stop undoes only what the install made. As an ordinary user, with the user's own object at the name of
# something the install makes new (a directory, a read-only file or a link to a directory at AUTOEXEC.BAT's
# backup, a directory at a new INI file's name): the install writes its files, shortcut, INI and registry
# values, cannot make that one thing and stops with exit code 4; the planted object is as it was (kind,
# mode, contents, a link and what it leads to), the rest of the prefix too, nothing is reported as not
# undone, no journal is left, and the next run undoes nothing. A control run without a plant installs.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_unprivileged_prefix
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Plants\nHeader=Plants Product
[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>
[Desktop]\nIcon1=Plants App~<INSTALLDIR>readme.txt~X~X~<INSTALLDIR>readme.txt~Plants
[INI - Setup]\nIni1=plants.ini~Paths~Home~<INSTALLDIR>
Reg1=HKEY_CURRENT_USER\\Software\\YarE2E Plants~Options~Level~3
[AUTOEXEC.BAT]\nSET PLANTS=<INSTALLDIR>'
new_start_dir rollback-plants "$config"
drive_c=$WINEPREFIX/drive_c
journals=$(host_path 'C:\windows\YAR Setup\Journals')
printf '@ECHO OFF\r\n' | wine_user tee "$drive_c/autoexec.bat" >/dev/null
# Wine makes the new profile's desktop folder whenever its desktop process gets to it: here, first.
wine_user mkdir -p "$(host_path "$(wine cmd /c 'echo %USERPROFILE%' </dev/null | tr -d '\r')")/Desktop"
seed_leftover
victim=$e2e_plants/victim
wine_user mkdir -p "$victim"
echo "the victim's" | wine_user tee "$victim/keep.txt" >/dev/null

# Every file of the prefix but the runs' logs, and the earlier working directory every run is given.
snapshot_now() { snapshot "$1" && grep -vE 'e2e-plants|/yar-a{16}' "$1" >"$1.kept" && mv "$1.kept" "$1"; }
# The planted name as it is: kind, mode, link target, and every file below it with its hash.
plant_state() {
  find -P "$1" "$victim" -printf '%p %y %M %l\n' | sort
  find -P "$1" "$victim" -type f -exec sha1sum {} + | sort
}

stop_over() { # what name form failure
  local what=$1 name=$2 path before plant log='C:\e2e-plants.log'
  path=$(host_path "$name")
  case $3 in
  directory)
    wine_user mkdir "$path"
    echo "the user's" | wine_user tee "$path/mine.txt" >/dev/null
    ;;
  read-only)
    echo "the user's" | wine_user tee "$path" >/dev/null
    wine_user chmod 0444 "$path"
    ;;
  link) wine_user ln -s "$victim" "$path" ;;
  esac
  plant=$(plant_state "$path")
  snapshot_now "$e2e_run/before"
  wine_user rm -f "$(host_path "$log")"
  watch_setup_from "$start_dir" /VERYSILENT /OVERWRITE=yes "/LOG=$log"
  expect_eq "$what: exit code" 4 "$setup_status"
  log=$(host_path "$log")
  expect_log "$log" "Installed: "
  expect_log "$log" "Failure: $4"
  expect_log "$log" 'Undone: the install changed nothing'
  if grep -q 'Not undone' "$log"; then
    cat "$log" >&2
    fail "$what: the log reports something of the user's as not undone"
  fi
  expect_eq "$what: the planted object" "$plant" "$(plant_state "$path")"
  snapshot_now "$e2e_run/after"
  before=$(changes "$e2e_run/before" "$e2e_run/after")
  [ -z "$before" ] || fail "$what: the machine is not as it was:"$'\n'"$before"
  [ ! -e "$journals" ] || fail "$what: a journal is left: $(ls -R "$journals")"
  wine_user rm -rf "$path"
}

backup_failure='Cannot create file C:\autoexec.yar'
stop_over "a directory at autoexec.yar" 'C:\autoexec.yar' directory "$backup_failure"
stop_over "a read-only file at autoexec.yar" 'C:\autoexec.yar' read-only "$backup_failure"
stop_over "a link to a directory at autoexec.yar" 'C:\autoexec.yar' link "$backup_failure"
stop_over "a directory at a new INI file" 'C:\windows\plants.ini' directory 'Unable to write to plants.ini'
expect_plants_untouched

# The control: without a plant the same install goes through, and undoes no earlier install first.
log='C:\e2e-plants-control.log'
watch_setup_from "$start_dir" /VERYSILENT /OVERWRITE=yes "/LOG=$log"
expect_eq "without a plant: exit code" 0 "$setup_status"
log=$(host_path "$log")
if grep -q 'Undone: ' "$log"; then
  cat "$log" >&2
  fail "the run after the stops undid an earlier install"
fi
[ -f "$drive_c/autoexec.yar" ] || fail "without a plant, no backup of AUTOEXEC.BAT"
echo "four plants: each stop exit 4, the plant untouched, nothing reported, no journal; the control installs" >&2
