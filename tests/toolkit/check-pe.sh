#!/usr/bin/env bash
# check-pe.sh OBJDUMP PROGRAM.exe [gui|console [MAX_BYTES]]: the program is a 32-bit x86 Windows program
# of that subsystem (GUI unless told) that imports nothing but Windows' own known DLLs, its image asks for
# ASLR, DEP and no terminal-server compatibility redirections, and the file is at most MAX_BYTES long
# when a limit is given (the shipped programs must fit on a floppy beside the first volume).
set -euo pipefail
objdump=$1
exe=$2
subsystem=${3:-gui}
max_bytes=${4:-}
headers=$("$objdump" -p "$exe")
fail() { echo "$exe: $*" >&2; exit 1; }
grep -q 'file format pei-i386' <<<"$headers" || fail "not a PE32 image for Intel 80386"
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "optional header is not PE32"
case $subsystem in
gui) grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not the GUI subsystem" ;;
console) grep -Eq '^Subsystem[[:space:]]+00000003' <<<"$headers" || fail "not the console subsystem" ;;
*) fail "unknown subsystem $subsystem" ;;
esac
# objdump names each DllCharacteristics flag on a line of its own below the field.
flags=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
  grep -qw "$flag" <<<"$flags" || fail "DllCharacteristics lack $flag"
done
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
size=$(stat -c %s "$exe")
if [ -n "$max_bytes" ]; then
  [ "$size" -le "$max_bytes" ] || fail "is $size bytes, more than the $max_bytes allowed"
fi
echo "$exe: PE32, i386, $subsystem, ASLR, DEP, terminal-server aware, $count system DLLs, $size bytes"
