# shellcheck shell=bash
# Sourced by every end-to-end test: the build's Wine session, the driver, start and end of install.exe,
# screenshots and pixel checks, and a trap that ends whatever the test started (and nothing else).
#
# From CTest's environment: YAR_BUILD (the win32 build tree), YAR_DRIVER (yardrive.exe), YAR_E2E_OUT (where
# runs and screenshots go); the cases also YAR_INSTALL_EXE and YAR_DISKSET (the directory of the disk set:
# disk.001, disk.002 and files/, what they hold).
set -euo pipefail
: "${YAR_BUILD:?}" "${YAR_DRIVER:?}" "${YAR_E2E_OUT:?}"
e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Nothing a test waits for may take longer than this, in seconds.
E2E_WAIT=${E2E_WAIT:-20}
# The message boxes of the setup are captioned with the application title.
APP_TITLE="YAR - Setup"
MAIN_CAPTION="YAR 32Bit Installer"
WIZARD_CAPTION="YAR32 - Setup"
# shellcheck disable=SC2034 # for the cases
PREPARE_CAPTION="Preparing YAR Setup"
CANCELED_MESSAGE='Your installation was canceled!'

"$e2e_root/tools/wine-session.sh" start "$YAR_BUILD" >/dev/null 2>&1 </dev/null
. "$e2e_root/tools/wine-env.sh" "$YAR_BUILD"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The driver, with a hard limit of its own on top of its --timeout.
drive() { timeout $((E2E_WAIT + 10)) wine "$YAR_DRIVER" "$@" </dev/null; }

# What is on screen, for the log of a failing test.
show_windows() {
  echo "-- windows on screen:" >&2
  drive windows >&2 || true
}

expect_eq() { # what expected actual
  [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

# ---- processes this test started; the trap ends them ----

e2e_pids=()
e2e_prefix_dirs=()
e2e_cleanup() {
  local pid dir
  for pid in "${e2e_pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  for dir in "${e2e_prefix_dirs[@]}"; do
    WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
    rm -rf "$dir"
  done
}
trap e2e_cleanup EXIT
# A test stopped from outside (CTest's time limit, Ctrl-C) cleans up too.
trap 'exit 143' TERM INT HUP

# A copy of the build's prefix for a run that restarts Windows: under Wine a restart ends every program
# of the prefix and replays its start-up. Programs and libraries, which Wine never writes, are hard
# links; everything else (registry, INI files) is copied. The copy gets its own server and keeper; the
# trap ends them and removes it.
use_disposable_prefix() {
  local src=$WINEPREFIX dir
  dir=$(mktemp -d "$YAR_E2E_OUT/prefix.XXXXXX")
  e2e_prefix_dirs+=("$dir")
  cp -al "$src" "$dir/prefix"
  (cd "$src" && find . -type f ! -iname '*.dll' ! -iname '*.exe' ! -iname '*.drv' ! -iname '*.sys' \
    ! -iname '*.nls' -print0) | (cd "$dir/prefix" && xargs -0 -I{} cp --remove-destination -p "$src/{}" "{}")
  export WINEPREFIX="$dir/prefix"
  # The user's folders (Desktop, Documents ...) link to the build's shared home; here they are the copy's own.
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  setsid wine "$YAR_DRIVER" hold 0 </dev/null >/dev/null 2>&1 &
}

# In the disposable prefix: a RunOnce entry that leaves $restart_marker when the prefix starts again, so
# that a restart really asked for shows.
arm_restart_marker() {
  # shellcheck disable=SC2034 # for the cases
  restart_marker="$WINEPREFIX/drive_c/yar-restarted.txt"
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v yar-e2e \
    /d 'cmd /c echo restarted>C:\yar-restarted.txt' /f </dev/null >/dev/null 2>&1 || fail "cannot add RunOnce"
}

# ---- the run of install.exe ----

# A fresh directory for this test's files and log: e2e_run.
new_run() { # case
  e2e_case=$1
  e2e_run="$YAR_E2E_OUT/run/$e2e_case"
  rm -rf "$e2e_run"
  mkdir -p "$e2e_run"
}

# Starts a Windows program in DIR with ARGS in the background: setup_pid is its process, its output goes
# to the run's log.
start_in() { # dir program args...
  local dir=$1
  shift
  (cd "$dir" && exec wine "$@" </dev/null >>"$e2e_run/wine.log" 2>&1) &
  setup_pid=$!
  e2e_pids+=("$setup_pid")
}

# A fresh start directory for this case: $start_dir holds install.exe, the disk set and, when CONFIG is
# given, install.cfg with that text (lines ending in CR LF as the building product writes them) and the
# installation directory's row.
# $diskset is the set used: YAR_DISKSET unless the case set another one before.
new_start_dir() { # case [config]
  new_run "$1"
  mkdir -p "$e2e_run/start"
  cp "${YAR_INSTALL_EXE:?}" "$e2e_run/start/install.exe"
  diskset=${diskset:-${YAR_DISKSET:?}}
  cp "$diskset"/disk.* "$e2e_run/start/"
  if [ $# -ge 2 ]; then
    local config=$2
    # An install needs the installation directory's row; a case that lists its own directories has it.
    [[ $config == *"[Directories]"* ]] || config+=$'\n[Directories]\nDir1=<INSTALLDIR>~'
    printf '%s\n' "$config" | sed 's/$/\r/' >"$e2e_run/start/install.cfg"
  fi
  start_dir="$e2e_run/start"
}

# The set with a licence and two pictures, beside the plain one.
use_product_diskset() { diskset="$YAR_DISKSET-product"; }

# The working directory of the run, C:\windows\Temp\y, as the host sees it.
work_dir() { echo "$WINEPREFIX/drive_c/windows/temp/y"; }

# A leftover of an earlier failed run would hide whether this run creates the working directory.
clear_work_dir() { rm -rf "$(work_dir)"; }

# A driver that could not start (Wine busy starting a fresh prefix) is tried again within the same limit.
wait_window() { # caption
  local deadline=$((SECONDS + E2E_WAIT)) status
  while :; do
    status=0
    drive wait-window "$1" $((deadline - SECONDS > 0 ? deadline - SECONDS : 0)) || status=$?
    [ "$status" -eq 0 ] && return 0
    if [ "$status" -ne 2 ] && [ "$SECONDS" -lt "$deadline" ]; then
      echo "note: the driver ended with $status while waiting for '$1'; trying again" >&2
      sleep 0.5
      continue
    fi
    show_windows
    fail "no window '$1' within ${E2E_WAIT}s"
  done
}

# Waits for a box of that caption, compares its text (escaped: \r for CR), presses the button and waits
# until the box has gone.
expect_box() { # caption escaped-text button
  local text
  text=$(drive --timeout "$E2E_WAIT" text "$1") || { show_windows; fail "no box '$1'"; }
  expect_eq "text of the box '$1'" "$2" "$text"
  drive answer "$1" "$3" || fail "cannot press '$3' on the box '$1'"
}

# The setup's own message box: captioned with the application title, one OK button.
expect_message() { expect_box "$APP_TITLE" "$1" OK; }

# The setup process must end by itself, within the time limit; its exit status is in setup_status.
expect_setup_ends() {
  local i
  for ((i = 0; i < E2E_WAIT * 10; i++)); do
    # shellcheck disable=SC2034 # setup_status is for the test that sourced this
    if ! kill -0 "$setup_pid" 2>/dev/null; then
      setup_status=0
      wait "$setup_pid" || setup_status=$?
      return 0
    fi
    sleep 0.1
  done
  show_windows
  fail "install.exe still running after ${E2E_WAIT}s"
}

# While the wizard is shown: the working directory holds every file of the set, flat, and the copies of
# install.exe and install.cfg; nothing of an earlier run.
expect_expanded() {
  local f work
  work=$(work_dir)
  for f in "$diskset"/files/* "$start_dir/install.exe" "$start_dir/install.cfg"; do
    cmp -s "$f" "$work/$(basename "$f")" || fail "$(basename "$f") not expanded into the working directory"
  done
  [ ! -e "$work/leftover.txt" ] || fail "an earlier run's file is still in the working directory"
}

expect_work_dir_present() { [ -d "$(work_dir)" ] || fail 'working directory C:\windows\Temp\y missing during the run'; }
expect_work_dir_gone() { [ ! -e "$(work_dir)" ] || fail 'working directory C:\windows\Temp\y left behind'; }

# ---- screenshots and pixels ----

# The screen rectangle of a window: sets win_left win_top win_width win_height.
window_rect() { # caption
  local r
  r=$(drive rect "$1") || fail "no window '$1' to measure"
  read -r win_left win_top right bottom <<<"$r"
  win_width=$((right - win_left))
  win_height=$((bottom - win_top))
}

# Screenshot of a window as it is on screen now, into FILE; sets the window's rectangle as window_rect.
shoot_window() { # caption file
  window_rect "$1"
  import -display "$DISPLAY" -window root -crop "${win_width}x${win_height}+${win_left}+${win_top}" +repage "$2"
}

# Screenshot of the background window as it is on screen now, into screenshots/background-<case>.png.
shoot_background() {
  mkdir -p "$YAR_E2E_OUT/screenshots"
  shot="$YAR_E2E_OUT/screenshots/background-$e2e_case.png"
  shoot_window "$MAIN_CAPTION" "$shot"
}

# RRGGBB of the screenshot's pixel at x, y (relative to the window).
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info:; }

# How many pixels of colour RRGGBB lie in the rectangle x y width height of the screenshot.
count_colour() { # x y w h RRGGBB
  convert "$shot" -crop "$3x$4+$1+$2" +repage -format %c histogram:info:- |
    awk -v c="#$5" 'toupper($3) == toupper(c) { n += $1 } END { print n + 0 }'
}

# A configured colour ($00BBGGRR, decimal or hex) as RRGGBB.
rgb_hex() {
  local v=$(($1))
  printf '%02X%02X%02X' $((v & 255)) $(((v >> 8) & 255)) $(((v >> 16) & 255))
}

# MulDiv: a * b / c rounded to the nearest, halves away from zero.
muldiv() {
  local p=$(($1 * $2)) c=$3 half=$((${3#-} / 2))
  if ((p < 0)); then echo $(((p - half) / c)); else echo $(((p + half) / c)); fi
}

# Colour of band i of n between two configured colours, as RRGGBB.
band_hex() { # from to i n
  local f=$(($1)) t=$(($2)) out="" shift fc tc
  for shift in 0 8 16; do
    fc=$(((f >> shift) & 255))
    tc=$(((t >> shift) & 255))
    out+=$(printf '%02X' $(((fc + $(muldiv "$3" $((tc - fc)) $(($4 - 1)))) & 255)))
  done
  echo "$out"
}

# The gradient of 255 horizontal bands: first band at the top, last at the bottom, a middle band where
# it belongs. Sampled at the right edge, clear of the headers and the footer.
expect_gradient() { # from to
  local x=$((win_width - 4)) mid_band=127 mid_y
  mid_y=$(($(muldiv $mid_band "$win_height" 255) + 1))
  expect_eq "top band" "$(rgb_hex "$1")" "$(pixel "$x" 1)"
  expect_eq "middle band $mid_band (y $mid_y)" "$(band_hex "$1" "$2" $mid_band 255)" "$(pixel "$x" "$mid_y")"
  expect_eq "bottom band" "$(rgb_hex "$2")" "$(pixel "$x" $((win_height - 2)))"
}

# At least MIN pixels of a colour in a rectangle: text drawn in that colour is there.
expect_colour_in() { # what x y w h colour min
  local n
  n=$(count_colour "$2" "$3" "$4" "$5" "$(rgb_hex "$6")")
  [ "$n" -ge "$7" ] || fail "$1: $n pixels of $(rgb_hex "$6") in ${4}x${5}+$2+$3, expected at least $7"
}

# ---- the common course of a run ----

# A file an earlier run left in the working directory; the start-up must clean it away.
seed_leftover() {
  mkdir -p "$(work_dir)"
  echo leftover >"$(work_dir)/leftover.txt"
}

# Starts DIR's install.exe in DIR (ARGS as its command line) over a leftover working directory.
start_setup_from() { # dir args...
  local dir=$1
  shift
  seed_leftover
  start_in "$dir" "$dir/install.exe" "$@"
}
start_setup() { start_setup_from "$start_dir"; }

# Starts the setup as start_setup_from does, waits for the background window, the preparation window
# and the wizard, checks that the set was expanded into a cleaned working directory and takes the
# background screenshot.
run_to_wizard_from() { # dir args...
  start_setup_from "$@"
  wait_window "$MAIN_CAPTION"
  wait_window "$WIZARD_CAPTION"
  expect_expanded
  shoot_background
}
run_to_wizard() { run_to_wizard_from "$start_dir"; }

# The run ends by itself: after MESSAGE (escaped; none when empty) the process ends and the working
# directory is gone.
ends_with() { # message
  [ -z "$1" ] || expect_message "$1"
  expect_setup_ends
  expect_work_dir_gone
}

# The preparation failed: "Error Expanding Files!!", then no wizard, and the run ends as cancelled.
expect_failed_preparation() {
  expect_message 'Error Expanding Files!!'
  drive --timeout "$E2E_WAIT" text "$APP_TITLE" >/dev/null || fail "no message after the failed preparation"
  if drive visible "$WIZARD_CAPTION" >/dev/null; then fail "the wizard was shown after a failed preparation"; fi
  ends_with "$CANCELED_MESSAGE"
}

# Closes the wizard with its close box (WM_CLOSE), which counts as Cancel.
close_wizard() {
  drive close "$WIZARD_CAPTION" || fail "cannot close the wizard"
  ends_with "$CANCELED_MESSAGE"
}

# ---- the wizard's pages ----

# The page the wizard shows, by a control that only that page holds: welcome, licence, destination,
# folders, type, ready.
wizard_page() {
  local shown
  shown=$(drive showing "$WIZARD_CAPTION" Accept " Destination  Directory " "Add Folder to Start Menu" \
    "Only Files need to run from Network will be installed" "Launch Program after installed") || true
  case $shown in
  Accept) echo licence ;;
  " Destination  Directory ") echo destination ;;
  "Add Folder to Start Menu") echo folders ;;
  "Only Files"*) echo type ;;
  "Launch Program"*) echo ready ;;
  *) echo welcome ;;
  esac
}

expect_page() { expect_eq "wizard page" "$1" "$(wizard_page)"; }

# Presses a button of the wizard and waits until the page shown is PAGE.
press_to() { # button page
  local i
  drive click "$WIZARD_CAPTION" "$1" || fail "cannot press '$1'"
  for ((i = 0; i < E2E_WAIT * 5; i++)); do
    [ "$(wizard_page)" = "$2" ] && return 0
    sleep 0.2
  done
  fail "'$1' did not lead to the $2 page (showing: $(wizard_page))"
}

# Next (or Accept on the licence page) until the ready page shows; prints the pages passed, in order.
# With a command, runs it with each page's name while that page shows, the ready page included.
# shellcheck disable=SC2120 # the command is optional
walk_to_ready() { # [command]
  local page i
  for ((i = 0; i < 8; i++)); do
    page=$(wizard_page)
    echo "$page"
    [ $# -eq 0 ] || "$1" "$page"
    case $page in
    ready) return 0 ;;
    licence) drive click "$WIZARD_CAPTION" Accept >/dev/null || fail "cannot press Accept" ;;
    *) drive click "$WIZARD_CAPTION" "&Next" >/dev/null || fail "cannot press Next" ;;
    esac
    wait_page_leaves "$page"
  done
  fail "no ready page after 8 steps"
}

wait_page_leaves() { # page
  local i
  for ((i = 0; i < E2E_WAIT * 5; i++)); do
    [ "$(wizard_page)" != "$1" ] && return 0
    sleep 0.2
  done
  fail "the wizard stayed on the $1 page"
}

# Walks to the ready page and presses Install; the run then ends with MESSAGE (escaped; none when empty).
install_with() { # message
  # shellcheck disable=SC2119
  walk_to_ready >/dev/null
  drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
  ends_with "$1"
}

# The end choice on the wizard's ready page, each radio button as "visible|hidden enabled|disabled
# checked|unchecked": launch, return to Windows, restart.
expect_end_choice() { # launch return restart
  local controls
  controls=$(drive controls "$WIZARD_CAPTION") || fail "cannot list the wizard's controls"
  set -- "Launch Program after installed" "$1" "Return to Windows after installed" "$2" \
    "Re Boot Windows After installed" "$3"
  while [ $# -gt 0 ]; do
    expect_eq "'$1'" "$2" "$(awk -F'\t' -v t="$1" '$6 == t { print $3, $4, $5 }' <<<"$controls")"
    shift 2
  done
}

# Rows of the screenshot (first and last, "none" when absent) that hold colour RRGGBB in the left half.
colour_rows() { # RRGGBB height
  convert "$shot" -crop "$((win_width / 2))x$2+0+0" +repage txt:- |
    awk -v c="#$1" 'index(toupper($0), c) { split($1, p, /[,:]/); y = p[2] + 0; if (n++ == 0) a = y; b = y }
                    END { if (n) print a, b; else print "none" }'
}

# The first header line, top left: its text colour and its shadow colour are both on screen there.
expect_header_pixels() { # colour shadow
  expect_colour_in "header text" 0 0 $((win_width / 2)) 45 "$1" 300
  expect_colour_in "header shadow" 0 0 $((win_width / 2)) 45 "$2" 150
}

# ---- runs without questions ----

# Our windows and boxes by caption, as the driver's list of windows shows them.
OUR_CAPTIONS="$MAIN_CAPTION|$WIZARD_CAPTION|$PREPARE_CAPTION|$APP_TITLE"

# Starts DIR's install.exe with ARGS and watches the screen until it ends by itself: ours_seen lists the
# captions of our windows seen, one a line, sorted (empty when none showed); setup_status is the exit
# status.
watch_setup_from() { # dir args...
  local i seen=""
  start_setup_from "$@"
  for ((i = 0; i < E2E_WAIT * 5; i++)); do
    kill -0 "$setup_pid" 2>/dev/null || break
    seen+=$(drive windows 2>/dev/null | awk -F'\t' -v re="^($OUR_CAPTIONS)\$" '$3 ~ re { print $3 }')$'\n'
    sleep 0.2
  done
  # shellcheck disable=SC2034 # ours_seen is for the test that sourced this
  ours_seen=$(grep -v '^$' <<<"$seen" | sort -u || true)
  expect_setup_ends
}

# A path on drive C: as the host sees it. Wine matches each component without regard to letter case (a
# 32-bit prefix has windows/system where a program asks for C:\windows\System), so a component that exists
# is spelt as the host spells it; the rest stay as given.
host_path() { # 'C:\dir\file'
  local rest=${1#[Cc]:} path=$WINEPREFIX/drive_c part entry parts
  rest=${rest//\\//}
  IFS=/ read -ra parts <<<"$rest"
  for part in "${parts[@]}"; do
    [ -n "$part" ] || continue
    if [ ! -e "$path/$part" ] && [ -d "$path" ]; then
      for entry in "$path"/* "$path"/.[!.]*; do
        entry=${entry##*/}
        if [ "${entry,,}" = "${part,,}" ]; then
          part=$entry
          break
        fi
      done
    fi
    path+=/$part
  done
  [[ $rest != */ ]] || path+=/
  echo "$path"
}

# The run's log holds a line containing TEXT.
expect_log() { # file text
  grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "the log has no line with '$2'"; }
}
