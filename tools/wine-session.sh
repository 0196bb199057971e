#!/usr/bin/env bash
# wine-session.sh start|stop BUILD_DIR
# start: makes the build's private Wine prefix (once), a virtual X display when there is none,
#        and a persistent wineserver, so that each test under Wine costs little.
# stop:  ends what start began for this build, and nothing else.
set -euo pipefail
action=${1:?start or stop}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "${2:?build directory}/wine/home"
. "$here/wine-env.sh" "$2"
state="$yar_build/wine"

xvfb_alive() { [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; }

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
    # A virtual desktop: windows get frames in screenshots and closing one costs no delay.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server, warmed up, keeps Wine's services from holding CTest's pipes open.
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  ;;
stop)
  wineserver -k >/dev/null 2>&1 || true
  if xvfb_alive; then kill "$(cat "$state/xvfb.pid")" || true; fi
  rm -f "$state/xvfb.pid" "$state/display"
  ;;
*) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
