#!/usr/bin/env bash
# Every test of the project, from a fresh Debian machine: installs what is missing, then runs
# the native tests (ASan/UBSan), the Windows build's tests and end-to-end tests under Wine,
# clang-tidy and cppcheck, a bounded run of every fuzz target and the formatting check.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${YAR_JOBS:-$(nproc)}

tools/bootstrap.sh
tools/check-format.sh
tools/check-layers.sh

echo "== native tests (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

# The Windows program is 32-bit; a kernel without 32-bit support cannot run 32-bit Wine, and a mirror
# without a sound i386 index cannot install it. There the same tests run in the 64-bit check build, and
# the 32-bit build is still made and linted.
windows=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "== note: no 32-bit Wine runs here (a kernel without 32-bit support, or wine32 not installed); the Windows tests run in the win64 check build"
  windows=win64
fi
echo "== Windows build, tests under Wine ($windows)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
# The shipped programs, also where the 32-bit build's own tests cannot run.
for exe in install/install.exe uninstall/uninstaller.exe; do
  tests/toolkit/check-pe.sh i686-w64-mingw32-objdump "build/win32/$exe"
done
tests/toolkit/check-pe.sh i686-w64-mingw32-objdump build/win32/tools/yar/yar.exe console
if [ "$windows" = win64 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 -j "$jobs"
fi
tools/wine-session.sh start "build/$windows"
trap 'tools/wine-session.sh stop "build/$windows"' EXIT
ctest --preset "$windows" -j "$jobs"

echo "== clang-tidy and cppcheck"
tools/run-lint.sh build/native build/win32

echo "== fuzz targets, bounded run"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzz_targets
tools/run-fuzz.sh build/fuzz "${YAR_FUZZ_SECONDS:-20}"

echo "== all tests passed"
