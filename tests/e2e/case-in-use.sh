#!/usr/bin/env bash
# A file another program holds open (without sharing, as a running program holds its own) is not a failure:
# the install puts the new bytes beside it and has them replace it when Windows restarts. An unattended run
# with /NORESTART ends with exit code 5, and so does one without it: any account that may read a file can
# hold it, so only /ALLOWRESTART would have the run restart Windows for it. The restart of the prefix
# (wineboot -r) puts the new file in place.
# A restart ends every program of the prefix, so this case runs in a disposable copy.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_disposable_prefix
new_start_dir in-use $'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\InUse\n[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>'
target='C:\E2E\InUse'
dir=$(host_path "$target")
mkdir -p "$dir"
printf 'the earlier version\r\n' >"$dir/data.bin"

# The holder says "locked" once it holds the file, and holds it for twenty seconds.
wine_within 60 "$YAR_DRIVER" lock "$target\\data.bin" 20 </dev/null >"$e2e_run/lock.out" 2>/dev/null &
holder=$!
e2e_pids+=("$holder")
for ((i = 0; i < E2E_WAIT * 10; i++)); do grep -q locked "$e2e_run/lock.out" && break; sleep 0.1; done
grep -q locked "$e2e_run/lock.out" || fail "the file could not be held open"

log='C:\e2e-in-use.log'
watch_setup_from "$start_dir" /VERYSILENT /NORESTART "/LOG=$log"
expect_eq "exit code" 5 "$setup_status"
log=$(host_path "$log")
expect_log "$log" "In use: $target\\data.bin - $target\\data.bin.yar-new-1 replaces it when Windows restarts"
expect_log "$log" 'Restart needed, not made (/NORESTART)'
cmp -s "$diskset/files/readme.txt" "$dir/readme.txt" || fail "readme.txt was not installed"
expect_eq "the held file before the restart" "the earlier version" "$(tr -d '\r' <"$dir/data.bin")"
wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
  </dev/null 2>/dev/null | grep -qi 'data.bin.yar-new-1' || fail "no rename is pending for the restart"

# Without /NORESTART the unattended run leaves the restart to its caller all the same.
log='C:\e2e-in-use-2.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
expect_eq "exit code without /NORESTART" 5 "$setup_status"
expect_log "$(host_path "$log")" "Restart needed, not made (files in use are replaced when Windows next starts"
grep -q 'Restarting Windows' "$(host_path "$log")" && fail "the unattended run restarted Windows for a file in use"

# The holder lets go before the restart, as every program has ended by then.
wait "$holder" || true
wine_within 60 wineboot -r </dev/null >/dev/null 2>&1 || fail "the prefix did not restart"
cmp -s "$diskset/files/data.bin" "$dir/data.bin" || fail "the restart did not put the new data.bin in place"
[ ! -e "$dir/data.bin.yar-new-1" ] || fail "the new file is still beside it after the restart"
