#!/usr/bin/env bash
# clang-tidy (checks in .clang-tidy) and cppcheck on the project's own sources, tests and benchmarks
# left out. Portable sources are read through the native build's compile database, Windows-only ones
# through the win32 build's, with mingw-w64's C++ headers. Both builds must be configured.
# Usage: tools/run-lint.sh [NATIVE_BUILD [WIN32_BUILD]]
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build/native}
win32=${2:-build/win32}
jobs=${YAR_JOBS:-$(nproc)}

mapfile -t sources < <(git ls-files -- '*.cpp' | grep -v -E '^(tests|bench)/')
in_db() { grep -q "\"file\": \"$PWD/$2\"" "$1/compile_commands.json"; }
native_files=() win32_files=()
for f in "${sources[@]}"; do
  if in_db "$native" "$f"; then native_files+=("$f"); elif in_db "$win32" "$f"; then win32_files+=("$f"); fi
done

echo "== cppcheck (${#sources[@]} files)"
cppcheck -q --std=c++20 --language=c++ --enable=warning,performance,portability --inline-suppr -I . \
  --suppress=missingIncludeSystem --error-exitcode=1 "${sources[@]}"

echo "== clang-tidy (${#native_files[@]} portable, ${#win32_files[@]} Windows files)"
printf '%s\n' "${native_files[@]}" | xargs -P "$jobs" -n 4 clang-tidy -p "$native" --quiet 2>/dev/null
# clang finds mingw's C headers by itself, not the C++ headers of its g++.
mapfile -t cxx_includes < <(echo | i686-w64-mingw32-g++-win32 -xc++ -E -v - 2>&1 |
  sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ /.*c++' | sed 's/^ //')
win_args=(--extra-arg=--target=i686-w64-mingw32)
for dir in "${cxx_includes[@]}"; do win_args+=("--extra-arg=-isystem$dir"); done
printf '%s\n' "${win32_files[@]}" | xargs -P "$jobs" -n 4 clang-tidy -p "$win32" --quiet "${win_args[@]}" 2>/dev/null
echo "== lint clean"
