#!/usr/bin/env bash
# The round trip: install.exe installs a product whose archive brings uninstaller.exe, the uninstaller
# started as the list of installed programs starts it removes the product again, and after a restart the
# prefix (every file below drive_c with its hash, and the exported registry) is as it was before the
# install, except what is left by design; the case prints that list and the figures of the three
# snapshots. case-uninstall.sh [--gui] [SET]: SET is a directory holding install.cfg and disk.* of a
# product whose [Files] install uninstaller.exe~<INSTALLDIR>; without one a small product of every kind of
# record is packed here. The uninstaller runs with /S, or with --gui as a user sees it: its question is
# answered Yes and its report is shot and closed, by the keyboard alone.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_TOOL:?}" "${YAR_UNINSTALLER_EXE:?}"

# A product with files in two directories, a shortcut, INI values inside and outside the installation
# directory, registry values below both roots (a file type's key directly below one) and an AUTOEXEC.BAT line; yar packs uninstaller.exe along.
make_product_set() { # dir
  local set=$1
  rm -rf "$set"
  mkdir -p "$set/files"
  printf 'The round-trip product.\r\n' >"$set/files/app.txt"
  for ((i = 1; i <= 50; i++)); do printf 'Manual line %d.\r\n' "$i"; done >"$set/files/manual.txt"
  cp "$YAR_UNINSTALLER_EXE" "$set/uninstaller.exe"
  sed 's/$/\r/' >"$set/install.cfg" <<'CFG'
[Setup - Main]
Install Dir=YAR Round Trip
Add to Program Files=1
Folder=YAR Round Trip
Show Warning Screen=0
Show Re-Boot=0
Header=YAR Round Trip
[Directories]
Dir1=<INSTALLDIR>~
Dir2=<SUB1><INSTALLDIR>~docs
[Files]
File1=app.txt~<INSTALLDIR>
File2=manual.txt~<SUB1><INSTALLDIR>
File3=uninstaller.exe~<INSTALLDIR>
[Desktop]
Icon1=YAR Round Trip~<INSTALLDIR>app.txt~X~X~<INSTALLDIR>app.txt~YAR Round Trip
[INI - Setup]
Ini1=<INSTALLDIR>app.ini~Settings~Installed~1
Ini2=yarround.ini~Paths~Home~<INSTALLDIR>
Ini3=HKEY_LOCAL_MACHINE\Software\YAR Round Trip~Settings~Path~<INSTALLDIR>app.txt
Ini4=Software\YAR Round Trip~Options~Colour~blue
Ini5=HKEY_CLASSES_ROOT\.yarround~shell~~YAR Round Trip File
[AUTOEXEC.BAT]
set yarround=<INSTALLDIR>
CFG
  (cd "$set/files" && timeout "$E2E_WAIT" wine "$YAR_TOOL" pack -q --uninstaller ../uninstaller.exe ../disk.001 \
    app.txt manual.txt </dev/null) || fail "yar pack of the round-trip product failed"
  cp "$set/uninstaller.exe" "$set/files/"
}

gui=0
if [ "${1:-}" = --gui ]; then
  gui=1
  shift
fi
use_disposable_prefix
set_dir=${1:-}
if [ -z "$set_dir" ]; then
  set_dir="$YAR_E2E_OUT/roundtrip-set"
  make_product_set "$set_dir"
fi
diskset=$set_dir
new_start_dir "uninstall$([ "$gui" = 0 ] || echo -gui)"
cp "$set_dir/install.cfg" "$start_dir/"
title=$(tr -d '\r' <"$set_dir/install.cfg" | sed -n 's/^Header=//p' | head -n 1)
title=${title:-YAR - Tarnwick 32Bit}

# Every start of the setup plants an earlier run's leftovers in the temporary directory: they are there
# before the install too, whichever cases ran in the prefix first.
seed_leftover
snapshot "$e2e_run/before"
run_to_wizard
install_with "Your installation of \\r$title\\rhas be completed.\\r\\rPlease Remove any floppies from drive."
snapshot "$e2e_run/installed"
if [ -z "${1:-}" ]; then
  grep -qF 'K [HKEY_CURRENT_USER\.yarround\shell]' "$e2e_run/installed" || fail "the file type's key was not written"
fi

# Started as the list of installed programs starts it.
command=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$title" /v UninstallString \
  </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *UninstallString *REG_SZ *//p')
[ -n "$command" ] || fail "the product is not in the list of installed programs"
program=${command%% "$title"}
program=${program//\"/}
unix_program=$(winepath -u "$program" 2>/dev/null)
[ -f "$unix_program" ] || fail "the registered uninstaller $program is not there"
target=$(dirname "$unix_program")
if [ "$gui" = 1 ]; then
  start_in "$target" "$program" "$title"
  # Answered by the keyboard alone, the boxes read as a screen reader reads them: their texts and buttons
  # by name; Alt+Y answers the question, Enter closes the report.
  question=$(drive --timeout "$E2E_WAIT" text Confirm) || { show_windows; fail "no question"; }
  expect_eq "the question" "Remove $title and all of its components?" "$question"
  box=$(drive accessible Confirm) || fail "the question has no accessible object"
  for name in Yes No "$question"; do
    grep -qF $'\t'"$name"$'\t' <<<"$box" || fail "the question does not tell '$name': $box"
  done
  drive keys Confirm alt+y || fail "cannot type Alt+Y into the question"
  report=$(drive --timeout "$E2E_WAIT" text Information) || { show_windows; fail "no report"; }
  echo "report: $report"
  [[ $report == "$title was removed"* ]] || fail "the report does not say the product was removed"
  shoot_window Information "$e2e_run/report.png"
  drive keys Information enter || fail "cannot type Enter into the report"
  expect_setup_ends
else
  start_in "$target" "$program" "$title" /S
  expect_setup_ends
fi
expect_eq "exit code of the uninstaller" 0 "$setup_status"
# The helper removes the program's file and then its directory, once the program has ended.
for ((i = 0; i < E2E_WAIT * 10; i++)); do [ -e "$unix_program" ] || [ -e "$target" ] || break; sleep 0.1; done
[ ! -e "$unix_program" ] || fail "the uninstaller's own file is still there"
[ ! -e "$target" ] || fail "the installation directory is still there: $(ls -A "$target")"

# Its helper is deleted when Windows starts again.
helpers=$(find "$WINEPREFIX/drive_c/users" -ipath '*/temp/yun-*/uninstaller.exe' | wc -l)
[ "$helpers" -gt 0 ] || fail "no helper waited for the uninstaller"
timeout 60 wine wineboot -r </dev/null >/dev/null 2>&1 || fail "the prefix did not restart"
helpers=$(find "$WINEPREFIX/drive_c/users" -ipath '*/temp/yun-*' | wc -l)
expect_eq "helper copies and their directories after the restart" 0 "$helpers"

# A second run finds nothing to do.
mkdir -p "$target"
cp "$YAR_UNINSTALLER_EXE" "$unix_program"
start_in "$target" "$program" /S
expect_setup_ends
expect_eq "exit code of a second run" 2 "$setup_status"
rm -rf "$target"

snapshot "$e2e_run/after"
echo "before the install:    $(figures "$e2e_run/before")"
echo "after the install:     $(figures "$e2e_run/installed")"
echo "after the uninstall:   $(figures "$e2e_run/after")"
changes "$e2e_run/before" "$e2e_run/installed" >"$e2e_run/installed.diff"
echo "the install changed $(wc -l <"$e2e_run/installed.diff") lines of the snapshot"
changes "$e2e_run/before" "$e2e_run/after" >"$e2e_run/left.diff"
echo "left by design:"
sed 's/^/  /' "$e2e_run/left.diff"
# By design: AUTOEXEC.BAT with its block and its backup autoexec.yar, INI files outside the installation
# directory that received values. Anything else is a leftover.
unexpected=$(grep -vE '^[-+] F \./(autoexec\.(bat|yar)) ' "$e2e_run/left.diff" |
  grep -viE '^\+ F \./windows/[^/]+\.ini ' || true)
[ -z "$unexpected" ] || fail "the uninstall left more than by design:
$unexpected"
