#!/usr/bin/env bash
# A killed install's journal is undone by the next program of ours, however much later: by then another
# account may have turned a directory on its way into a link. Here the destination is a folder another
# user (the planting account) made open to everyone, and the user answered Yes to installing there; the
# install replaces readme.txt and is killed at its question before data.bin. The planter then moves its
# folder away and puts a link to the victim's directory at its name. The next install.exe touches nothing
# there: the victim's readme.txt keeps its bytes (the planter's earlier readme.txt is not written through
# the link), the log names the path and the link, and the journal stays for the rest. Once an
# administrator has made the folder sound again, the next program undoes the rest and the journal goes.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
use_shared_prefix
config=$'[Setup - Main]\nShow Re-Boot=0\nInstall Dir=E2E\\Links\nHeader=Links Product
[Files]\nFile1=readme.txt~<INSTALLDIR>\nFile2=data.bin~<INSTALLDIR>\n[Files - OverWrite]\nFile #1=1'
new_start_dir journal-links "$config"
top=$(host_path 'C:\E2E')
dir=$top/Links
journals=$(host_path 'C:\windows\YAR Setup\Journals')
rm -rf "$top"
plant mkdir -p "$dir"
plant chmod 0777 "$dir"
printf 'the earlier version\r\n' | plant tee "$dir/readme.txt" "$dir/data.bin" >/dev/null
victim=$(host_path 'C:\windows\victim')
rm -rf "$victim"
mkdir -p "$victim"
echo "the victim's readme" >"$victim/readme.txt"
victim_before=$(sha1sum "$victim/readme.txt")

# The install, asked about the unsafe destination (Yes), killed at the question before data.bin.
run_to_wizard
walk_to_ready >/dev/null
drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
drive --timeout "$E2E_WAIT" text Warning >/dev/null || fail "no question about the unsafe destination"
drive answer Warning "&Yes" || fail "cannot answer Yes"
drive --timeout "$E2E_WAIT" text Confirm >/dev/null || fail "no question before replacing data.bin"
cmp -s "$diskset/files/readme.txt" "$dir/readme.txt" || fail "readme.txt was not replaced before the question"
wine_user pkill -KILL -f 'install\.exe' || fail "cannot kill install.exe"
expect_setup_ends
ls "$journals"/install-*/journal.txt >/dev/null 2>&1 || fail "the killed install left no journal"

# The planter's move: its folder away, a link to the victim's directory at its name.
plant mv "$dir" "$top/Links.moved"
plant ln -s "$victim" "$dir"
log='C:\e2e-journal-links.log'
watch_setup_from "$start_dir" /VERYSILENT "/LOG=$log"
log=$(host_path "$log")
expect_eq "the victim's readme.txt" "$victim_before" "$(sha1sum "$victim/readme.txt")"
expect_eq "the victim's directory" "readme.txt" "$(ls -A "$victim")"
expect_log "$log" 'Undone: An earlier installation did not finish'
expect_log "$log" 'C:\E2E\Links is not safe: it is a link'
ls "$journals"/install-*/journal.txt >/dev/null 2>&1 || fail "the journal went with something left to undo"
expect_eq "the install behind the link: exit code" 4 "$setup_status"

# Sound again: the planter's folder back, its directory and it an administrator's now, no longer open to
# others: the rest is undone.
plant rm "$dir"
plant mv "$top/Links.moved" "$dir"
chown -R root: "$top"
chmod 0755 "$top" "$dir"
wine_within "$E2E_WAIT" "$YAR_UNINSTALLER_EXE" /S </dev/null >>"$e2e_run/wine.log" 2>&1 || true
expect_eq "readme.txt put back" "the earlier version" "$(tr -d '\r' <"$dir/readme.txt")"
[ ! -e "$journals" ] || fail "the journals' directory is left: $(ls -R "$journals")"
rm -rf "$top" "$victim"
