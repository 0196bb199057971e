#!/usr/bin/env bash
# Every test of the project, from a fresh Debian machine: installs what is missing, then runs
# the native tests (ASan/UBSan), the Windows build's tests and end-to-end tests under Wine,
# a bounded run of every fuzz target and the formatting check.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${YAR_JOBS:-$(nproc)}

tools/bootstrap.sh
tools/check-format.sh

echo "== native tests (ASan, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

echo "== Windows build, tests under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
tools/wine-session.sh start build/win32
trap 'tools/wine-session.sh stop build/win32' EXIT
ctest --preset win32 -j "$jobs"

echo "== fuzz targets, bounded run"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzz_targets
tools/run-fuzz.sh build/fuzz "${YAR_FUZZ_SECONDS:-20}"

echo "== all tests passed"
