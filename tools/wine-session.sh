#!/usr/bin/env bash
# wine-session.sh start|stop BUILD_DIR
# start: makes the build's private Wine prefix (once), a virtual X display when there is none,
#        a persistent wineserver, and (once the e2e driver is built) a keeper: a hidden window that
#        keeps the prefix's desktop process alive, so that each test under Wine costs little.
# stop:  ends what start began for this build, and nothing else.
set -euo pipefail
action=${1:?start or stop}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "${2:?build directory}/wine/home"
# Tests that find no session start one themselves (wine-run.sh), several at once: one start at a time,
# so that they share one display. flock -o: what the start leaves running does not hold the lock.
if [ "$action" = start ] && [ -z "${YAR_SESSION_LOCKED:-}" ]; then
  YAR_SESSION_LOCKED=1 exec flock -o "$2/wine/session.lock" "$0" "$@"
fi
. "$here/wine-env.sh" "$2"
state="$yar_build/wine"

alive() { [ -f "$state/$1.pid" ] && kill -0 "$(cat "$state/$1.pid")" 2>/dev/null; }
xvfb_alive() { alive xvfb; }

# Without a window of its own the desktop process (explorer.exe) ends after every GUI test and the next
# test starts it again, with CTest's output pipe inherited: CTest then waits for it to end. The keeper
# holds one hidden window for the whole session; it and what it starts see no pipe of CTest.
start_keeper() {
  local driver="$yar_build/tests/e2e/yardrive.exe"
  if alive keeper || [ ! -f "$driver" ]; then return; fi
  setsid wine "$driver" hold 0 </dev/null >/dev/null 2>&1 &
  echo $! >"$state/keeper.pid"
}

start_display() {
  if [ -n "${YAR_KEEP_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$state/display"
    return
  fi
  if xvfb_alive; then return; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  echo ":$n" >"$state/display"
}

case "$action" in
start)
  start_display
  . "$here/wine-env.sh" "$yar_build"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # Windows always has its 16-bit system directory; a 64-bit Wine without its 32-bit half does not
    # make it, and the tests of shared files take it for one that was there before them.
    mkdir -p "$WINEPREFIX/drive_c/windows/system"
    # A virtual desktop: windows get frames in screenshots and closing one costs no delay.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server, warmed up, keeps Wine's services from holding CTest's pipes open.
  # Start may be called again on a running session: a server already up for the prefix answers 1.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  start_keeper
  ;;
stop)
  if alive keeper; then kill "$(cat "$state/keeper.pid")" || true; fi
  rm -f "$state/keeper.pid"
  wineserver -k >/dev/null 2>&1 || true
  if xvfb_alive; then kill "$(cat "$state/xvfb.pid")" || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
