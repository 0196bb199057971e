#!/usr/bin/env bash
# check-pe.sh OBJDUMP PROGRAM.exe: the program is a 32-bit x86 Windows GUI program that imports
# nothing but Windows' own known DLLs.
set -euo pipefail
objdump=$1
exe=$2
headers=$("$objdump" -p "$exe")
fail() { echo "$exe: $*" >&2; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 image for Intel 80386"
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "optional header is not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not the GUI subsystem"
"$objdump" -f "$exe" | grep -q 'architecture: i386' || fail "not built for i386"
# Known DLLs only, which the system takes from its own directory whatever lies beside the program; comctl32
# comes through the manifest's side-by-side dependency. Anything else is loaded at run time from System32.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|oleaut32|msvcrt|shlwapi)\.dll$'
count=0
while read -r dll; do
  count=$((count + 1))
  grep -Eiq "$system_dlls" <<<"$dll" || fail "imports $dll, which is no Windows system DLL"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
[ "$count" -gt 0 ] || fail "no imports found"
echo "$exe: PE32, i386, GUI, $count system DLLs"
