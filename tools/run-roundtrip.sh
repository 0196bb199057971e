#!/usr/bin/env bash
# The install and uninstall round trip under Wine: builds the Windows programs, installs a product with
# install.exe, removes it with its uninstaller.exe, and prints the figures of the prefix before the
# install, after it and after the uninstall, and what was left by design (tests/e2e/case-uninstall.sh).
# The log of the run is in build/<preset>/e2e/run/uninstall/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${YAR_JOBS:-$(nproc)}
tools/bootstrap.sh
# The programs are 32-bit; a kernel that runs no 32-bit programs runs the 64-bit check build instead.
windows=win32
/usr/lib/wine/wine --version >/dev/null 2>&1 || windows=win64
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" -j "$jobs"
tools/wine-session.sh start "build/$windows"
trap 'tools/wine-session.sh stop "build/$windows"' EXIT
ctest --preset "$windows" -R '^e2e_(diskset|uninstall)$' --output-on-failure -V |
  sed -n 's/^[0-9]*: \(before the\|after the\|the install\|left by\|  [-+] \)/\1/p'
