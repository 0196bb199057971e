#!/usr/bin/env bash
# CTest's emulator for the Windows build: wine-run.sh BUILD_DIR PROGRAM.exe ARGS...
set -u
. "$(dirname "$0")/wine-env.sh" "$1"
shift
# The session is up when a display is recorded and the private Xvfb behind it, if any, still runs. A
# prefix left from an earlier session has no display, and without one no window can be made.
session_up() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$yar_build/wine/display" ] || return 1
  [ ! -f "$yar_build/wine/xvfb.pid" ] || kill -0 "$(cat "$yar_build/wine/xvfb.pid")" 2>/dev/null
}
if ! session_up; then
  # Tests started side by side: one starts the session, the others wait for it.
  mkdir -p "$yar_build/wine"
  exec 9>"$yar_build/wine/session.lock"
  flock 9
  if ! session_up; then
    "$(dirname "$0")/wine-session.sh" start "$yar_build" >&2 || exit 1
  fi
  flock -u 9
  exec 9>&-
  . "$(dirname "$0")/wine-env.sh" "$yar_build"
fi
exec wine "$@"
