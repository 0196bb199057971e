#!/usr/bin/env bash
# The uninstaller acts only on the record the install left, and follows no link inside the installation.
# install.exe installs a small product (its archive brings uninstaller.exe) without questions, and registers
# the record's SHA-256 with the product's entry in the list of installed programs. Then:
#  1. uninstall.cfg gains a line naming a file outside by another spelling ("C:\victim\.\keep.txt"): the
#     uninstaller names the record as untrusted in an error box and ends with exit code 2, /S ends with 2
#     as well, and nothing at all is removed;
#  2. the record as the install left it, but writable by everybody (chmod o+w, which Wine reads as
#     Everyone's right to change it): exit code 2, nothing removed;
#  3. the record as the install left it, the directory docs the install made replaced by a Unix symbolic
#     link to another directory (Wine reports a link to a directory as a reparse point): the uninstall
#     removes the product with exit code 0, and neither follows the link to delete manual.txt there nor
#     walks it to remove the empty directory there; the link stays, and with it the installation directory;
#  4. installed again, a directory above the directory of a file outside the installation (C:\E2E\Outside
#     above C:\E2E\Outside\Deep\shared.txt) replaced by a link to another directory that holds a file of
#     the same relative name: the uninstall deletes nothing there and keeps the file (exit code 0, as in 3)
#     and removes the rest.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}" "${YAR_UNINSTALLER_EXE:?}"

title='YAR Record Check'
target='C:\E2E\Record Check'

# A product of two directories with a registry value; yar packs uninstaller.exe along.
make_set() { # dir
  local set=$1
  rm -rf "$set"
  mkdir -p "$set/files"
  printf 'The product.\r\n' >"$set/files/app.txt"
  printf 'The manual.\r\n' >"$set/files/manual.txt"
  printf 'Shared outside.\r\n' >"$set/files/shared.txt"
  cp "$YAR_UNINSTALLER_EXE" "$set/uninstaller.exe"
  sed 's/$/\r/' >"$set/install.cfg" <<CFG
[Setup - Main]
Install Dir=Record Check
Show Warning Screen=0
Show Re-Boot=0
Header=$title
[Directories]
Dir1=<INSTALLDIR>~
Dir2=<SUB1><INSTALLDIR>~docs
Dir3=<ALT1>~E2E\\Outside\\Deep
[Files]
File1=app.txt~<INSTALLDIR>
File2=manual.txt~<SUB1><INSTALLDIR>
File3=uninstaller.exe~<INSTALLDIR>
File4=shared.txt~<ALT1>
[INI - Setup]
Ini1=HKEY_LOCAL_MACHINE\\Software\\YAR Record Check~Settings~Path~<INSTALLDIR>app.txt
CFG
  (cd "$set/files" && timeout "$E2E_WAIT" wine "$YAR_TOOL" pack -q --uninstaller ../uninstaller.exe ../disk.001 \
    app.txt manual.txt shared.txt </dev/null) || fail "yar pack of the product failed"
  cp "$set/uninstaller.exe" "$set/files/"
}

# Every file below drive_c with its hash, every directory, and the product's keys.
state() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./users -prune -o -path ./windows -prune -o -printf '%y %p\n' | sort &&
    find . -path ./users -prune -o -path ./windows -prune -o -type f -print0 | sort -z | xargs -0 -r sha1sum)
  wine reg query "HKLM\\Software\\YAR Record Check" /s </dev/null 2>/dev/null | tr -d '\r'
  wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$title" /s </dev/null 2>/dev/null |
    tr -d '\r'
}

use_disposable_prefix
set_dir="$YAR_E2E_OUT/uninstall-record-set"
make_set "$set_dir"
diskset=$set_dir
new_start_dir uninstall-record
cp "$set_dir/install.cfg" "$start_dir/"
dir=$(host_path "$target")
rm -rf "$dir"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target"
expect_eq "exit code of the install" 0 "$setup_status"
dir=$(host_path "$target")
for file in uninstaller.exe docs/manual.txt; do [ -f "$dir/$file" ] || fail "$file was not installed in $target"; done
digest=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$title" /v UninstallRecordSHA256 \
  </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *UninstallRecordSHA256 *REG_SZ *//p')
expect_eq "the registered digest of the record" "$(sha256sum <"$dir/uninstall.cfg" | cut -d' ' -f1)" "$digest"
grep -qF '[Directories - Made]' "$dir/uninstall.cfg" || fail "the record lists no directory the install made"
cp "$dir/uninstall.cfg" "$e2e_run/record.cfg"
program="$target\\uninstaller.exe"

# Another program's directory, outside the installation.
victim="$WINEPREFIX/drive_c/victim"
rm -rf "$victim"
mkdir -p "$victim/empty"
printf 'not the product'"'"'s\r\n' >"$victim/keep.txt"
printf 'the victim'"'"'s manual\r\n' >"$victim/manual.txt"

# 1. An edited record.
printf 'C:\\victim\\.\\keep.txt=\r\n' >>"$dir/uninstall.cfg"
before=$(state)
start_in "$dir" "$program" "$title"
# The driver escapes "\\" in the text it reads.
escaped=${target//\\/\\\\}
expect_box Error "The uninstall information $escaped\\\\uninstall.cfg cannot be trusted: it is not the record the install left: its SHA-256 differs from the registered one. Nothing was removed." OK
expect_setup_ends
expect_eq "exit code for an edited record" 2 "$setup_status"
start_in "$dir" "$program" /S
expect_setup_ends
expect_eq "exit code for an edited record, /S" 2 "$setup_status"
expect_eq "what the refused uninstall changed" "$before" "$(state)"

# 2. The record as it was, writable by everybody.
cp "$e2e_run/record.cfg" "$dir/uninstall.cfg"
expect_eq "the restored record's digest" "$digest" "$(sha256sum <"$dir/uninstall.cfg" | cut -d' ' -f1)"
chmod o+w "$dir/uninstall.cfg"
before=$(state)
start_in "$dir" "$program" /S
expect_setup_ends
expect_eq "exit code for a record everybody may change" 2 "$setup_status"
expect_eq "what the refused uninstall changed" "$before" "$(state)"
chmod o-w "$dir/uninstall.cfg"

# 3. A link where the install made a directory.
rm -rf "$dir/docs"
ln -s "$victim" "$dir/docs"
start_in "$dir" "$program" /S
expect_setup_ends
expect_eq "exit code with a link in the installation" 0 "$setup_status"
for file in keep.txt manual.txt; do [ -f "$victim/$file" ] || fail "$file was deleted through the link"; done
[ -d "$victim/empty" ] || fail "the empty directory behind the link was removed"
[ -L "$dir/docs" ] || fail "the link itself was removed"
for file in app.txt uninstall.cfg; do [ ! -e "$dir/$file" ] || fail "$file was not removed"; done
wine reg query "HKLM\\Software\\YAR Record Check" </dev/null >/dev/null 2>&1 && fail "the product's key was not removed"
# Left for its helper: the program's own file goes once it has ended; its directory stays, not empty.
for ((i = 0; i < E2E_WAIT * 10; i++)); do [ -e "$dir/uninstaller.exe" ] || break; sleep 0.1; done
[ ! -e "$dir/uninstaller.exe" ] || fail "the uninstaller's own file is still there"
[ -d "$dir" ] || fail "the installation directory holding the link was removed"
rm -rf "$dir"

# 4. A link above a directory outside the installation.
outside=$(host_path 'C:\E2E\Outside')
rm -rf "$outside"
watch_setup_from "$start_dir" /VERYSILENT "/DIR=$target"
expect_eq "exit code of the second install" 0 "$setup_status"
[ -f "$outside/Deep/shared.txt" ] || fail "shared.txt was not installed outside the installation"
rm -rf "$victim"
mkdir -p "$victim/Deep"
printf 'the victim'"'"'s shared.txt\r\n' >"$victim/Deep/shared.txt"
rm -rf "$outside"
ln -s "$victim" "$outside"
start_in "$dir" "$program" /S
expect_setup_ends
expect_eq "exit code with a link above a directory outside" 0 "$setup_status"
[ -f "$victim/Deep/shared.txt" ] || fail "shared.txt was deleted through the link above its directory"
[ -d "$victim/Deep" ] || fail "the directory behind the link was removed"
[ -L "$outside" ] || fail "the link itself was removed"
for file in app.txt docs/manual.txt; do [ ! -e "$dir/$file" ] || fail "$file was not removed"; done
rm -rf "$dir" "$victim" "$outside"
echo "edited record: refused (2), open record: refused (2), link inside: not followed (0), link above outside: not followed (0)"
