#!/usr/bin/env bash
# check-symbols.sh NM PROGRAM.exe.debug: the program's symbols, read from its debug file, hold nothing of
# the C++ library's locales and streams, std::filesystem, the demangler or the C library's formatted
# printer: the weight that once kept install.exe off a floppy. Each kind found is named with a symbol.
set -euo pipefail
nm=$1 file=$2
symbols=$("$nm" -C "$file")
grep -q 'WinMain\|main' <<<"$symbols" || { echo "$file: no program symbols" >&2; exit 1; }
status=0
while IFS='|' read -r what pattern; do
  if hit=$(grep -E -m1 "$pattern" <<<"$symbols"); then
    echo "$file: holds $what: $hit" >&2
    status=1
  fi
done <<'KINDS'
locales|std::locale::|std::(__cxx11::)?(numpunct|moneypunct|time_get|time_put|codecvt)<
streams|std::ios_base::|std::basic_(ios|streambuf|istream|ostream|filebuf|ifstream|ofstream|stringbuf|[io]?stringstream)<
filesystem|std::filesystem::
the demangler|__cxa_demangle
formatted output|__mingw_pformat
KINDS
[ "$status" -eq 0 ] && echo "$file: no locales, streams, filesystem, demangler or formatted output"
exit "$status"
