#!/usr/bin/env bash
# check-pe-test.sh OBJDUMP PROGRAM.exe WORKDIR: check-pe.sh passes the program as built and fails a copy
# in which any one of the ASLR, DEP and terminal-server flags is cleared, naming that flag; it passes the
# program at a size limit of its own length and fails it, naming both sizes, one byte below.
set -euo pipefail
objdump=$1 exe=$2 work=$3
check=$(dirname "$0")/check-pe.sh
rm -rf "$work" && mkdir -p "$work"
"$check" "$objdump" "$exe" >/dev/null
# DllCharacteristics: 70 bytes into the PE32 optional header, which follows the "PE\0\0" signature at
# e_lfanew (0x3C) and the 20-byte file header.
word_at() { od -An -tu"$2" -j"$1" -N"$2" "$3" | tr -d ' '; }
offset=$(($(word_at 60 4 "$exe") + 4 + 20 + 70))
value=$(word_at "$offset" 2 "$exe")
failures=0
for case in 0x0040:DYNAMIC_BASE 0x0100:NX_COMPAT 0x8000:TERMINAL_SERVICE_AWARE; do
  bit=${case%%:*} flag=${case#*:}
  copy=$work/$flag.exe
  cp "$exe" "$copy"
  cleared=$((value & ~bit))
  printf "\\x$(printf %02x $((cleared & 255)))\\x$(printf %02x $((cleared >> 8)))" |
    dd of="$copy" bs=1 seek="$offset" conv=notrunc status=none
  if out=$("$check" "$objdump" "$copy" 2>&1); then
    echo "FAIL: check-pe.sh passes $copy without $flag"; failures=$((failures + 1))
  elif ! grep -q "lack $flag" <<<"$out"; then
    echo "FAIL: check-pe.sh fails $copy but does not name $flag: $out"; failures=$((failures + 1))
  fi
done
size=$(stat -c %s "$exe")
if ! out=$("$check" "$objdump" "$exe" gui "$size" 2>&1); then
  echo "FAIL: check-pe.sh fails $exe at a limit of its own size $size: $out"; failures=$((failures + 1))
fi
if out=$("$check" "$objdump" "$exe" gui $((size - 1)) 2>&1); then
  echo "FAIL: check-pe.sh passes $exe of $size bytes at a limit of $((size - 1))"; failures=$((failures + 1))
elif ! grep -q "is $size bytes, more than the $((size - 1)) allowed" <<<"$out"; then
  echo "FAIL: check-pe.sh fails $exe over the limit but does not say so: $out"; failures=$((failures + 1))
fi
[ "$failures" -eq 0 ] && echo "check-pe.sh fails each of the three flags missing, and a program over its size limit"
exit "$failures"
