#!/usr/bin/env bash
# CTest's emulator for the Windows build: wine-run.sh BUILD_DIR PROGRAM.exe ARGS...
set -u
. "$(dirname "$0")/wine-env.sh" "$1"
shift
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$(dirname "$0")/wine-session.sh" start "$yar_build" >&2 || exit 1
  . "$(dirname "$0")/wine-env.sh" "$yar_build"
fi
exec wine "$@"
