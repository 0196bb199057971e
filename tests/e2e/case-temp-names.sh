#!/usr/bin/env bash
# Nothing another account can make in the temporary directories steers the setup. The case runs as an
# ordinary Unix user, for whom read-only files hold under Wine (root writes through them), over plants at
# every name a setup ever used there (seed_leftover): `y` as a link to a directory with a file in it and as
# a directory holding a read-only app.exe, in each Temp in turn, `disk.$A$`, and the log's old fixed name
# yar-setup.log, read-only and then a link. Each install succeeds, installs the archive's own app.exe,
# leaves every plant as it was, and its log names only files of its own new working directory; the
# wizard's run expands the set into its own new directory too.
# /LOG without a name makes a new log of a name drawn at random in %TEMP%: a link at yar-setup.log is never
# written through. /LOG naming a hard link is refused with exit code 1 before anything is done; the file
# behind it keeps its bytes, and so is a log whose directory is reached through a link. (Wine opens a host symbolic link as its target even when asked for the link
# itself, and reports no reparse point: the named symbolic link is refused in the native tests, where
# O_NOFOLLOW holds.)
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}"
# A set whose program bears the name planted in the old working directory.
set_dir="$YAR_E2E_OUT/diskset-app"
rm -rf "$set_dir" && mkdir -p "$set_dir/files"
printf "The archive's own app.exe.\r\n" >"$set_dir/files/app.exe"
cp "$YAR_DISKSET/files/readme.txt" "$set_dir/files/"
(cd "$set_dir/files" && wine_within "$E2E_WAIT" "$YAR_TOOL" pack -q ../disk.001 app.exe readme.txt </dev/null) ||
  fail "yar pack of the set failed"
diskset=$set_dir
new_start_dir temp-names $'[Setup - Main]\nShow Re-Boot=0\n[Files]\nFile1=app.exe~<INSTALLDIR>\nFile2=readme.txt~<INSTALLDIR>'
use_unprivileged_prefix
find_user_temp
temp=$e2e_user_temp
target='C:\E2E\Temp Names'
installed=$(host_path "$target")

# A silent install with /LOG alone over the plants (WHAT names the round): exit code 0, the archive's
# files installed, the plants as they were, one new log whose every file lies in the run's new working
# directory or the installation directory.
install_over_plants() { # what
  local log work line
  rm -rf "$installed" "$temp"/yar-setup-*.log
  watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target" /LOG
  expect_eq "$1: exit code" 0 "$setup_status"
  for f in app.exe readme.txt; do
    cmp -s "$diskset/files/$f" "$installed/$f" || fail "$1: $f installed is not the archive's"
  done
  expect_plants_untouched
  mapfile -t logs < <(find "$temp" -maxdepth 1 -regextype posix-extended -regex '.*/yar-setup-[0-9a-f]{8}\.log')
  expect_eq "$1: new logs in %TEMP%" 1 "${#logs[@]}"
  log=${logs[0]}
  expect_log "$log" 'End: exit code 0'
  work=$(tr -d '\r' <"$log" | sed -n 's/^ *[0-9.]* Working directory: //p')
  if [[ ! $work =~ \\yar-[a-z0-9]{16}$ ]] || [[ $work == *yar-aaaaaaaaaaaaaaaa ]]; then
    fail "$1: the logged working directory '$work' is not a new one"
  fi
  expect_eq "$1: the working directory's place" "$temp" "$(dirname "$(host_path "$work")")"
  expect_eq "$1: files expanded" 2 "$(grep -c ' Expanded: ' "$log")"
  while IFS= read -r line; do
    case $line in
    *" Expanded: $work\\"* | *" Installed: $work\\"*" -> $target\\"*) ;;
    *" Expanded: "* | *" Installed: "*) fail "$1: the log names a file of no new place: $line" ;;
    esac
  done < <(tr -d '\r' <"$log")
}

install_over_plants "link y in the Windows Temp, read-only app.exe in the user's"

e2e_old_y=directory
# The file behind a link at the old log name is the user's own and writable: a log through it would show.
victim="$e2e_plants/victim.ini"
printf '[system]\r\nkeep=1\r\n' | wine_user tee "$victim" >/dev/null
wine_user rm -f "$temp/yar-setup.log"
wine_user ln -s "$victim" "$temp/yar-setup.log"
install_over_plants "read-only app.exe in the Windows Temp, link y and a link at yar-setup.log in the user's"
expect_eq "the file behind the link" "$(printf '[system]\r\nkeep=1\r\n')" "$(cat "$victim")"

run_to_wizard
close_wizard

logs=$(host_path 'C:\e2e-logs')
wine_user mkdir -p "$logs"
wine_user ln -f "$victim" "$logs/link.log"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target" '/LOG=C:\e2e-logs\link.log'
expect_eq "exit code with /LOG naming a hard link" 1 "$setup_status"
expect_eq "the file behind the named hard link" "$(printf '[system]\r\nkeep=1\r\n')" "$(cat "$victim")"
# A directory link on the way to the named log is refused as well, never followed; the same directory by
# its own name takes the log.
wine_user ln -sfn "$logs" "$(host_path 'C:\')e2e-linked"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target" '/LOG=C:\e2e-linked\setup.log'
expect_eq "exit code with a directory link on the way of /LOG" 1 "$setup_status"
[ ! -e "$logs/setup.log" ] || fail "the log was written through the directory link"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target" '/LOG=C:\e2e-logs\setup.log'
expect_eq "exit code with the directory's own name" 0 "$setup_status"
[ -s "$logs/setup.log" ] || fail "no log in the directory named as it is"
wine_user rm -rf "$logs" "$(host_path 'C:\')e2e-linked"
