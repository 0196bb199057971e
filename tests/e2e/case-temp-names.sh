#!/usr/bin/env bash
# /LOG without a name makes a new log of a name drawn at random in %TEMP%: a link another user left at
# the old fixed name yar-setup.log is never written through, and the run goes on. /LOG naming a hard link
# is refused with exit code 1 before anything is done; the file behind it keeps its bytes. (Wine opens a
# host symbolic link as its target even when asked for the link itself, and reports no reparse point: the
# named symbolic link is refused in the native tests, where O_NOFOLLOW holds.)
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir temp-names $'[Setup - Main]\nShow Re-Boot=0\n[Files]\nFile1=readme.txt~<INSTALLDIR>'
temp=$(host_path "$(wine cmd /c echo %TEMP% </dev/null 2>/dev/null | tr -d '\r')")
[ -d "$temp" ] || fail "no temporary directory at $temp"
victim="$e2e_run/victim.ini"
printf '[system]\r\nkeep=1\r\n' >"$victim"
rm -f "$temp"/yar-setup*.log
ln -s "$victim" "$temp/yar-setup.log"

watch_setup_from "$start_dir" /VERYSILENT '/DIR=C:\E2E\Temp Names' /LOG
expect_eq "exit code" 0 "$setup_status"
expect_eq "the file behind the link" "$(printf '[system]\r\nkeep=1\r\n')" "$(cat "$victim")"
mapfile -t logs < <(find "$temp" -maxdepth 1 -regextype posix-extended -regex '.*/yar-setup-[0-9a-f]{8}\.log')
expect_eq "new logs in %TEMP%" 1 "${#logs[@]}"
[ "${#logs[@]}" -eq 0 ] || expect_log "${logs[0]}" 'End: exit code 0'

ln -f "$victim" "$e2e_run/link.log"
watch_setup_from "$start_dir" /VERYSILENT '/DIR=C:\E2E\Temp Names' "/LOG=Z:${e2e_run//\//\\}\\link.log"
expect_eq "exit code with /LOG naming a hard link" 1 "$setup_status"
expect_eq "the file behind the named hard link" "$(printf '[system]\r\nkeep=1\r\n')" "$(cat "$victim")"
rm -f "$temp/yar-setup.log" "${logs[@]}"
