#!/usr/bin/env bash
# The main job, from a fresh Debian machine: installs what is missing, builds everything, makes the
# sample distribution (install.exe, install.cfg and a disk set packed by yar, uninstaller.exe in it) in
# build/sample/dist and runs install.exe on it under Wine.
#
# With a DISPLAY the setup runs there and you walk it yourself. Without one it runs on a private Xvfb
# display and is driven from outside: the preparation window expands the set, the wizard is walked to its
# ready page and Install is pressed, the end message is read and confirmed. Screenshots of the windows on
# the way are written to build/sample/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=${YAR_JOBS:-$(nproc)}

tools/bootstrap.sh

# The program is 32-bit; where no 32-bit Wine runs (a kernel without 32-bit support, or wine32 not
# installed), the 64-bit check build stands in.
windows=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "== note: no 32-bit Wine runs here; running the win64 check build of install.exe"
  windows=win64
fi
echo "== building: native tools (release) and the Windows program ($windows)"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target yar
cmake --preset "$windows" >/dev/null
cmake --build --preset "$windows" -j "$jobs" --target yar_install yar_uninstaller yardrive

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
# The picture shown on the background: two frames of colour bars, so that it animates.
convert -size 120x40 gradient:'#FFD700-#FF4500' \( -size 120x40 gradient:'#FF4500-#FFD700' \) \
  -set delay 50 -loop 0 "$sample/src/logo.gif"
# yar build checks the configuration, packs what it names and writes the distribution; one directory
# here (volumes of a floppy's size), so that the setup finds every volume beside itself.
tools/yar/make-sample.sh build/release/tools/yar/yar "build/$windows/install/install.exe" "$sample/dist" \
  "$sample/src" 1440000 "build/$windows/uninstall/uninstaller.exe"
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

# Driven from outside with the end-to-end tests' driver and their walk through the wizard.
export YAR_BUILD="build/$windows" YAR_DRIVER="build/$windows/tests/e2e/yardrive.exe" YAR_E2E_OUT="$root/$sample/run"
# shellcheck source=tests/e2e/e2e-lib.sh
. tests/e2e/e2e-lib.sh
trap 'e2e_cleanup; tools/wine-session.sh stop "build/$windows"' EXIT
E2E_WAIT=60
new_run sample
start_dir=$root/$sample/dist
shots=$sample/screenshots
rm -rf "$shots" && mkdir -p "$shots"
# Each window once it has painted.
shoot() { # caption name
  sleep 0.3
  shoot_window "$1" "$shots/$2.png"
}
shot_pages=0
shoot_page() { # page
  # The full install rather than the preselected network minimum.
  [ "$1" != type ] || drive click "$WIZARD_CAPTION" "Full Install ( All Files will be installed )" >/dev/null
  shoot "$WIZARD_CAPTION" "wizard-$shot_pages-$1"
  shot_pages=$((shot_pages + 1))
}

# As over an earlier version: the install asks before it replaces the older demo.txt (marked in
# [Files - OverWrite]), which shows the progress page.
target_win='C:\Program Files\YAR Demo'
target="$WINEPREFIX/drive_c/Program Files/YAR Demo"
mkdir -p "$target"
printf 'An earlier version of the demo.\r\n' >"$target/demo.txt"

# The prefix opens text files in Notepad, as Windows does: the end choice launches the installed demo.txt.
wine reg add 'HKCR\.txt' /ve /d txtfile /f </dev/null >/dev/null 2>&1

start_setup
wait_window "$PREPARE_CAPTION"
shoot "$PREPARE_CAPTION" preparation
wait_window "$WIZARD_CAPTION"
shoot "$MAIN_CAPTION" background
echo "the wizard is shown; walking its pages:"
walk_to_ready shoot_page
echo "pressing Install"
drive click "$WIZARD_CAPTION" "&Install" >/dev/null
question=$(drive --timeout 30 text Confirm)
shoot "$WIZARD_CAPTION" progress
echo "question: $question; answering Yes"
drive answer Confirm "&Yes"
expect_setup_ends
viewer="demo.txt - Notepad"
if drive wait-window "$viewer" 30 >/dev/null; then
  shoot "$viewer" end
  drive close "$viewer" >/dev/null || true
else
  echo "note: no window '$viewer' after the launch"
fi
echo "== install.exe ended; screenshots in $shots: $(cd "$shots" && echo *.png)"

# What the install left on the system, as a report (the README shows it).
report=$sample/installed.txt
{
  echo "Installation directory $target_win:"
  (cd "$target/.." && find "YAR Demo" | sort | sed 's|[^/]*/|  |g; s|^|  |')
  echo
  echo "Shortcuts, as uninstall.cfg records them (target, working directory, icon as lnkinfo reads them):"
  tr -d '\r' <"$target/uninstall.cfg" | sed -n 's/\.\*=$/.lnk/p' | while read -r link; do
    host=$WINEPREFIX/drive_c/${link#C:\\}
    [ -f "${host//\\//}" ] || continue
    echo "  $link"
    lnkinfo "${host//\\//}" | tr -d '\r' |
      sed -n 's/^\t\(Local path\|Working directory\|Icon location\)\t*: /    \1: /p'
  done
  echo
  echo "Registry values:"
  for key in 'HKLM\Software\YAR Demo\Settings' 'HKCU\Software\YAR Demo\Settings' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\YAR Demo Product'; do
    if values=$(wine reg query "$key" </dev/null 2>/dev/null); then
      tr -d '\r' <<<"$values" | sed '/^$/d; s/^/  /'
    else
      echo "  $key: not present"
    fi
  done
  echo
  echo "uninstall.cfg:"
  tr -d '\r' <"$target/uninstall.cfg" | sed 's/^/  /'
} >"$report"
cat "$report"

# The wizard again at 200% (192 pixels per inch), in a copy of the prefix whose LogPixels says so: the
# programs lay themselves out for the screen's resolution.
use_disposable_prefix
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f </dev/null >/dev/null 2>&1
done
wineserver -k >/dev/null 2>&1 || true
start_prefix
start_setup
wait_window "$WIZARD_CAPTION"
shoot "$WIZARD_CAPTION" wizard-0-welcome-200
close_wizard
echo "== the wizard at 200%: $shots/wizard-0-welcome-200.png"
