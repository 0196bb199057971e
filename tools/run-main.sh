#!/usr/bin/env bash
# The main job, from a fresh Debian machine: installs what is missing, builds everything, makes the
# sample distribution (install.exe, install.cfg and a disk set packed by yar) in build/sample/dist and
# runs install.exe on it under Wine.
#
# With a DISPLAY the setup runs there and you walk it yourself. Without one it runs on a private Xvfb
# display: the run is driven from outside (the wizard is closed, the end message read and confirmed) and
# a screenshot of the background window is written to build/sample/background.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${YAR_JOBS:-$(nproc)}

tools/bootstrap.sh

# The program is 32-bit; where the kernel runs no 32-bit programs, the 64-bit check build stands in.
windows=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "== note: this kernel runs no 32-bit programs; running the win64 check build of install.exe"
  windows=win64
fi
echo "== building: native tools (release) and the Windows program ($windows)"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target yar
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" -j "$jobs" --target yar_install yardrive

echo "== the sample distribution"
sample=build/sample
rm -rf "$sample" && mkdir -p "$sample/src"
cp -r samples/demo/. "$sample/src/"
# The manual is generated, large enough that the set spans two 1.44 MB disks.
python3 - "$sample/src/files/manual.txt" <<'PY'
import random, sys
random.seed(7)
words = ("archive volume setup window gradient install directory shortcut folder registry value "
         "decoder floppy header licence wizard").split()
with open(sys.argv[1], "w", newline="\r\n") as f:
    for n in range(110000):
        f.write(" ".join(random.choice(words) for _ in range(8)) + " %016x\n" % random.getrandbits(64))
PY
tools/yar/make-sample.sh build/release/tools/yar/yar "$sample/dist" "$sample/src" 1440000
cp "build/$windows/install/install.exe" "$sample/dist/"
build/release/tools/yar/yar list "$sample/dist/disk.001"

echo "== running install.exe under Wine"
# A display of your own is used as it is (YAR_HEADLESS=1 forces the private Xvfb display).
if [ -n "${DISPLAY:-}" ] && [ -z "${YAR_HEADLESS:-}" ]; then export YAR_KEEP_DISPLAY=1; fi
tools/wine-session.sh start "build/$windows" >/dev/null
. tools/wine-env.sh "build/$windows"
if [ -n "${YAR_KEEP_DISPLAY:-}" ]; then
  (cd "$sample/dist" && wine install.exe)
  exit 0
fi

driver=build/$windows/tests/e2e/yardrive.exe
drive() { timeout 60 wine "$driver" "$@" </dev/null; }
(cd "$sample/dist" && exec wine install.exe </dev/null >"$root/$sample/wine.log" 2>&1) &
setup=$!
trap 'kill -9 $setup 2>/dev/null || true; tools/wine-session.sh stop "build/$windows"' EXIT

drive wait-window "YAR 32Bit Installer" 30
sleep 1
read -r left top right bottom <<<"$(drive rect "YAR 32Bit Installer")"
import -display "$DISPLAY" -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
  "$sample/background.png"
echo "screenshot of the background window: $sample/background.png"

drive wait-window "YAR32 - Setup" 60
echo "the wizard is shown; closing it"
drive close "YAR32 - Setup"
if text=$(drive --timeout 10 text "YAR - Setup" 2>/dev/null); then
  echo "end message: ${text//\\r/ / }"
  drive click "YAR - Setup" OK
fi
for _ in $(seq 100); do kill -0 $setup 2>/dev/null || break; sleep 0.2; done
if kill -0 $setup 2>/dev/null; then echo "install.exe did not end" >&2; exit 1; fi
echo "== install.exe ended"
