#!/usr/bin/env bash
# CTest's emulator for the Windows build: wine-run.sh BUILD_DIR PROGRAM.exe ARGS...
set -u
. "$(dirname "$0")/wine-env.sh" "$1"
shift
# Without a running session (none started yet, or stopped since, or its Xvfb gone) Wine has no display
# and no window can be made: start it first. Starting is serialised and does nothing on a running one.
session_running() {
  [ -f "$yar_build/wine/display" ] || return 1
  [ -f "$yar_build/wine/xvfb.pid" ] || return 0 # the caller's own display (YAR_KEEP_DISPLAY)
  kill -0 "$(cat "$yar_build/wine/xvfb.pid")" 2>/dev/null
}
if [ ! -f "$WINEPREFIX/system.reg" ] || ! session_running; then
  "$(dirname "$0")/wine-session.sh" start "$yar_build" >&2 || exit 1
  . "$(dirname "$0")/wine-env.sh" "$yar_build"
fi
exec wine "$@"
