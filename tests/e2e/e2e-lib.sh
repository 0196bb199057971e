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

# A Windows program under a time limit, as the setup's account (see use_unprivileged_prefix).
wine_within() { # seconds program args...
  timeout "$1" "${e2e_as[@]}" wine "${@:2}"
}

# The driver, with a hard limit of its own on top of its --timeout.
drive() { wine_within $((E2E_WAIT + 10)) "$YAR_DRIVER" "$@" </dev/null; }

# What is on screen, for the log of a failing test.
show_windows() {
  echo "-- windows on screen:" >&2
  drive windows >&2 || true
}

expect_eq() { # what expected actual
  [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

# ---- whose programs: this process's user (root in CI) or an ordinary one ----

# Under Wine root writes through the read-only bit and deletes what it likes, so what the setup must do
# against another account's plants shows only when it runs as an ordinary Unix user. A case says which
# account runs Wine and which one plants, each a command prefix (`env` alone: this process's user):
#   use_unprivileged_prefix  everything as the ordinary user $E2E_USER (yar-e2e): install.exe,
#                            uninstaller.exe, the driver, the plants; in a copy of the prefix that it owns.
#   use_shared_prefix        the plants as the ordinary user, install.exe as root (an attacker plants, the
#                            administrator runs): a copy of the prefix, root's, in which the places every
#                            account may write on Windows (C:\, the Windows Temp, the Public folder) are
#                            open to the user, as sticky directories.
# From then on `wine`, `wine_within`, `wineserver`, `winepath`, `drive`, `start_in` and every helper
# below run as the setup's account (so a case writes `wine_within SECONDS ...`, never `timeout SECONDS
# wine`); `wine_user CMD...` runs a host command as that account, `plant CMD...` as the planting one and
# `as_user CMD...` as the ordinary user, e.g. `plant mkdir "$(host_path 'C:\Install Dir')"`.
# The trap ends the copy's server and removes the copy. Without root no user can be made or taken on:
# use_unprivileged_prefix then runs as this process's user, an ordinary one already, and
# use_shared_prefix ends the case as skipped (E2E_SKIP, CTest's SKIP_RETURN_CODE).
E2E_USER=${YAR_E2E_USER:-yar-e2e}
E2E_SKIP=77
e2e_as=(env)
e2e_planter=(env)
e2e_user_runner=()
e2e_wine_owner=''

wine() { "${e2e_as[@]}" wine "$@"; }
wineserver() { "${e2e_as[@]}" wineserver "$@"; }
winepath() { "${e2e_as[@]}" winepath "$@"; }
plant() { "${e2e_planter[@]}" "$@"; }
wine_user() { "${e2e_as[@]}" "$@"; }
as_user() {
  [ ${#e2e_user_runner[@]} -gt 0 ] || fail "as_user before use_unprivileged_prefix or use_shared_prefix"
  "${e2e_user_runner[@]}" "$@"
}

skip() {
  echo "SKIP: $*" >&2
  exit "$E2E_SKIP"
}

# The ordinary user exists: a system user without a login shell or home, made the first time.
make_user() {
  [ "$(id -u)" -eq 0 ] || skip "only root can make the user $E2E_USER and run programs as it"
  id -u "$E2E_USER" >/dev/null 2>&1 && return 0
  # Two cases at once: the loser's useradd fails, and the user is there all the same.
  useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
    "$E2E_USER" 2>/dev/null || id -u "$E2E_USER" >/dev/null 2>&1 || skip "cannot make the user $E2E_USER (useradd)"
}

# e2e_user_runner: starts a command as the ordinary user, with HOME a directory of its own and the Wine
# settings (prefix, display) of this process. The user must reach the build's programs and this case's files.
user_runner() { # home
  e2e_user_runner=(setpriv --reuid="$E2E_USER" --regid="$(id -g "$E2E_USER")" --init-groups env HOME="$1"
    USER="$E2E_USER" LOGNAME="$E2E_USER")
  local path
  for path in "$YAR_DRIVER" "${YAR_INSTALL_EXE:-$YAR_DRIVER}" "${YAR_UNINSTALLER_EXE:-$YAR_DRIVER}" \
    "${e2e_run:-$YAR_E2E_OUT}"; do
    "${e2e_user_runner[@]}" test -r "$path" ||
      fail "$E2E_USER cannot read $path: every directory above it must be open to others (o+rx)"
  done
  # The session's Xvfb admits every local client; a display of the caller's own may not.
  if [ -n "${DISPLAY:-}" ] && command -v xdpyinfo >/dev/null; then
    "${e2e_user_runner[@]}" xdpyinfo >/dev/null 2>&1 ||
      fail "$E2E_USER cannot reach the display $DISPLAY: let it in (xhost +SI:localuser:$E2E_USER)"
  fi
}

# A copy of the current prefix in a new directory below YAR_E2E_OUT, owned by OWNER (empty: this process's
# user), that this case's programs use from now on: e2e_prefix_home is that directory, beside the prefix
# it holds home/ and plants/ (a place outside drive C: for what the planting account points links at).
# Programs and libraries, which Wine never writes, are hard links and stay root's, readable; everything
# else (registry, INI files) is copied. The user's folders (Desktop, Documents ...), which link to the
# build's shared home, are the copy's own.
copy_prefix() { # [owner]
  local src=$WINEPREFIX dir link binaries=(-iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys'
    -o -iname '*.nls')
  dir=$(mktemp -d "$YAR_E2E_OUT/prefix.XXXXXX")
  e2e_prefix_dirs+=("$dir")
  chmod 755 "$dir"
  cp -al "$src" "$dir/prefix"
  (cd "$src" && find . -type f ! \( "${binaries[@]}" \) -print0) |
    (cd "$dir/prefix" && xargs -0 -I{} cp --remove-destination -p "$src/{}" "{}")
  for link in "$dir/prefix"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
  mkdir "$dir/home" "$dir/plants"
  if [ -n "${1:-}" ]; then
    # Wine's record of the server directory of the prefix's owner (Debian's): the new owner makes its own.
    rm -f "$dir/prefix/wineserver"
    find "$dir/prefix" ! \( -type f \( "${binaries[@]}" \) \) -exec chown -h "$1:" {} +
    chown "$1:" "$dir/home" "$dir/plants"
  fi
  e2e_prefix_home=$dir
  e2e_plants=$dir/plants
  export WINEPREFIX="$dir/prefix"
  point_at_prefix
}

# The prefix's own server, warmed up, and a keeper for its desktop process, as the setup's account.
start_prefix() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
  setsid "${e2e_as[@]}" wine "$YAR_DRIVER" hold 0 </dev/null >/dev/null 2>&1 &
}

use_unprivileged_prefix() {
  local t0=$EPOCHREALTIME
  if [ "$(id -u)" -ne 0 ]; then
    echo "note: $(id -un) runs the case, an ordinary user already" >&2
    copy_prefix
  else
    make_user
    copy_prefix "$E2E_USER"
    user_runner "$e2e_prefix_home/home"
    e2e_as=("${e2e_user_runner[@]}")
    e2e_planter=("${e2e_user_runner[@]}")
    e2e_wine_owner=$E2E_USER
    own_run_dir
  fi
  start_prefix
  prefix_took "$t0"
}

use_shared_prefix() {
  local t0=$EPOCHREALTIME
  make_user
  copy_prefix
  chown "$E2E_USER:" "$e2e_prefix_home/home" "$e2e_plants"
  user_runner "$e2e_prefix_home/home"
  # What earlier runs planted there is root's; the user plants anew.
  rm -rf "$e2e_planted/y" "$e2e_planted/disk.\$A\$"
  chmod 1777 "$WINEPREFIX/drive_c" "$e2e_planted" "$WINEPREFIX/drive_c/users/Public"
  e2e_planter=("${e2e_user_runner[@]}")
  start_prefix
  prefix_took "$t0"
}

# What a prefix of its own costs the case, for its log.
prefix_took() { # start
  local took
  took=$(awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
  echo "note: the case's prefix was ready in $took s" >&2
}

# ---- processes this test started; the trap ends them ----

e2e_pids=()
e2e_prefix_dirs=()
e2e_cleanup() {
  local pid dir uid server
  for pid in "${e2e_pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  for dir in "${e2e_prefix_dirs[@]}"; do
    # Each Unix user has servers of its own: the copy's is its owner's, and so is the directory of its
    # socket, which Debian's Wine names at random and records in the prefix.
    uid=$(stat -c %u "$dir/prefix" 2>/dev/null) || uid=$(id -u)
    if [ "$uid" = "$(id -u)" ]; then
      WINEPREFIX="$dir/prefix" command wineserver -k >/dev/null 2>&1 || true
    else
      setpriv --reuid="$uid" --regid="$(stat -c %g "$dir/prefix")" --clear-groups \
        env WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
      server=$(cat "$dir/prefix/wineserver" 2>/dev/null) || server=
      [[ ! $server =~ ^wine-[A-Za-z0-9]{6}$ ]] || rm -rf "${TMPDIR:-/tmp}/$server"
    fi
    rm -rf "$dir"
  done
}
trap e2e_cleanup EXIT
# A test stopped from outside (CTest's time limit, Ctrl-C) cleans up too.
trap 'exit 143' TERM INT HUP

# A copy of the build's prefix for a run that restarts Windows: under Wine a restart ends every program
# of the prefix and replays its start-up. The copy gets its own server and keeper; the trap ends them and
# removes it.
use_disposable_prefix() {
  local t0=$EPOCHREALTIME
  copy_prefix
  start_prefix
  prefix_took "$t0"
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

# A fresh directory for this test's files and log: e2e_run, the setup account's, so that its programs
# may write there (exports, logs named on the command line).
new_run() { # case
  e2e_case=$1
  e2e_run="$YAR_E2E_OUT/run/$e2e_case"
  rm -rf "$e2e_run"
  mkdir -p "$e2e_run"
  own_run_dir
}
own_run_dir() {
  [ -z "$e2e_wine_owner" ] || [ -z "${e2e_run:-}" ] || chown "$e2e_wine_owner:" "$e2e_run"
}

# Starts a Windows program in DIR with ARGS in the background: setup_pid is its process, its output goes
# to the run's log.
start_in() { # dir program args...
  local dir=$1
  shift
  (cd "$dir" && exec "${e2e_as[@]}" wine "$@" </dev/null >>"$e2e_run/wine.log" 2>&1) &
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

# The configuration of the start directory checked as a vendor checks it, by `yar check` beside the set and
# install.exe; the findings go to the run's check.txt, and a finding of an error fails the case.
expect_config_sound() {
  (cd "$start_dir" && wine_within "$E2E_WAIT" "${YAR_TOOL:?}" check install.cfg </dev/null) >"$e2e_run/check.txt" 2>&1
  local code=$?
  tr -d '\r' <"$e2e_run/check.txt" | grep ': error: ' && fail "yar check finds errors in the configuration"
  [ "$code" -eq 0 ] || fail "yar check of the configuration ended with $code: $(cat "$e2e_run/check.txt")"
}

# The set with a licence and two pictures, beside the plain one.
use_product_diskset() { diskset="$YAR_DISKSET-product"; }

# The working directory of a run is a new directory yar-XXXXXXXXXXXXXXXX in the user's temporary
# directory; the run's own is the one that was not there when it started.
# The user's temporary directory as the host sees it, asked of Wine once: e2e_user_temp.
find_user_temp() {
  [ -n "${e2e_user_temp:-}" ] ||
    e2e_user_temp=$(host_path "$(wine cmd /c 'echo %TEMP%' </dev/null | tr -d '\r')")
}
work_dirs() {
  find_user_temp
  find "$e2e_user_temp" -maxdepth 1 -name 'yar-????????????????' | sort
}
mark_work_dirs() {
  find_user_temp
  e2e_work_before=$(work_dirs)
}
work_dir() { comm -13 <(echo "${e2e_work_before:-}") <(work_dirs) | head -n 1; }

# Runs killed by earlier tests leave their working directories.
clear_work_dir() {
  find_user_temp
  work_dirs | xargs -r rm -rf
}

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
  [ -n "$work" ] || fail "no working directory of the run"
  for f in "$diskset"/files/* "$start_dir/install.exe" "$start_dir/install.cfg"; do
    cmp -s "$f" "$work/$(basename "$f")" || fail "$(basename "$f") not expanded into the working directory"
  done
  [ ! -e "$work/leftover.txt" ] || fail "an earlier run's file is in the working directory"
  expect_plants_untouched
}

expect_work_dir_present() { [ -d "$(work_dir)" ] || fail 'no working directory of the run during the run'; }
expect_work_dir_gone() { [ -z "$(work_dir)" ] || fail "working directory $(work_dir) left behind"; }

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

# What could lie in the temporary directories before a run, at every name a setup ever used there: the
# run takes nothing from them, writes nothing through them and leaves them as they were.
# - In the Windows directory's Temp, shared by every account, the planting account's: `y` (the old
#   working directory) and a folder `disk.$A$` (the old archive copy's name).
# - In the setup account's Temp: a working directory of an earlier run with a file in it, `y`, a read-only
#   file `disk.$A$`, and a read-only file at the log's old fixed name yar-setup.log unless something is
#   there already (a case may plant its own first).
# `y` is in one Temp a link to a directory of the planting account's holding keep.txt, in the other a
# directory holding a read-only app.exe: e2e_old_y is the form in the Windows Temp (link or directory).
# Read-only plants hold only for an ordinary user (use_unprivileged_prefix); root writes through them.
e2e_plants=$YAR_E2E_OUT
e2e_old_y='link'
point_at_prefix() {
  e2e_planted=$WINEPREFIX/drive_c/windows/temp
  unset e2e_user_temp
}
point_at_prefix
plant_y() { # as-whom form dir
  local as=$1 form=$2 y=$3/y
  "$as" rm -rf "$y"
  if [ "$form" = link ]; then
    "$as" ln -s "$e2e_plants/planted-target" "$y"
  else
    "$as" mkdir "$y"
    plant_file "$as" "$y/app.exe" 'planted app.exe'
  fi
}
plant_file() { # as-whom file text: a read-only file
  local as=$1
  "$as" rm -f "$2"
  printf '%s\r\n' "$3" | "$as" tee "$2" >/dev/null
  "$as" chmod a-w "$2"
}
seed_leftover() {
  find_user_temp
  local earlier=$e2e_user_temp/yar-aaaaaaaaaaaaaaaa
  plant mkdir -p "$e2e_plants/planted-target" "$e2e_planted/disk.\$A\$"
  echo planted | plant tee "$e2e_plants/planted-target/keep.txt" >/dev/null
  wine_user mkdir -p "$earlier"
  echo leftover | wine_user tee "$earlier/leftover.txt" >/dev/null
  plant_file wine_user "$e2e_user_temp/disk.\$A\$" "planted disk.\$A\$"
  [ -e "$e2e_user_temp/yar-setup.log" ] || [ -L "$e2e_user_temp/yar-setup.log" ] ||
    plant_file wine_user "$e2e_user_temp/yar-setup.log" 'planted log'
  if [ "$e2e_old_y" = link ]; then
    plant_y plant link "$e2e_planted"
    plant_y wine_user directory "$e2e_user_temp"
  else
    plant_y plant directory "$e2e_planted"
    plant_y wine_user link "$e2e_user_temp"
  fi
  e2e_plants_before=$(plants_state)
}
# Each planted name as it is: its kind, mode, owner, size and link target, and the hash of each file.
plants_state() {
  local names=("$e2e_planted/y" "$e2e_planted/disk.\$A\$" "$e2e_user_temp/y" "$e2e_user_temp/disk.\$A\$"
    "$e2e_user_temp/yar-setup.log" "$e2e_user_temp/yar-aaaaaaaaaaaaaaaa" "$e2e_plants/planted-target")
  { find -P "${names[@]}" -printf '%p %y %M %u %s %l\n' 2>&1 || true; } | sort
  { find -P "${names[@]}" -type f -exec sha1sum {} + 2>/dev/null || true; } | sort
}
expect_plants_untouched() {
  local now
  now=$(plants_state)
  [ "$now" = "${e2e_plants_before:?no plants seeded}" ] ||
    fail "the planted names changed:"$'\n'"$(diff <(echo "$e2e_plants_before") <(echo "$now"))"
}

# Starts DIR's install.exe in DIR (ARGS as its command line) over a leftover working directory.
start_setup_from() { # dir args...
  local dir=$1
  shift
  seed_leftover
  mark_work_dirs
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

# ---- snapshots of the prefix ----

# The prefix as lines: "F <path> <sha1>" for every file below drive_c, "D <path>" for every directory,
# "K <key>" for every key and "V <key> | <value>" for every value of both registry roots.
snapshot() { # file
  local out=$1 root
  (cd "$WINEPREFIX/drive_c" && find . -type d -printf 'D %p\n' && find . -type f -print0 | sort -z |
    xargs -0 -r sha1sum | awk '{ h = $1; $1 = ""; print "F" $0 " " h }') >"$out.files"
  : >"$out.keys"
  for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    wine_within 60 regedit /E "$e2e_run/export.reg" "$root" </dev/null >/dev/null 2>&1 || fail "cannot export $root"
    iconv -f UTF-16LE -t UTF-8 "$e2e_run/export.reg" | tr -d '\r' | awk '
      /\\$/ { line = line substr($0, 1, length($0) - 1); next }
      { line = line $0; if (line ~ /^\[/) { key = line; print "K " key } else if (line != "") print "V " key " | " line; line = "" }' \
      >>"$out.keys"
  done
  sort -o "$out" "$out.files" "$out.keys"
}

# What Wine changes by itself as programs come and go and the prefix restarts, never the product's: its
# own settings, and the dates its display driver is registered with at every start.
wine_own() {
  grep -vE '^[-+] [VK] \[HKEY_(LOCAL_MACHINE|CURRENT_USER)\\Software\\Wine[]\\]' |
    grep -vE '^[-+] V .* \| "DriverDateData"=' || true
}
changes() { # before after
  { diff "$1" "$2" || true; } | sed -n 's/^< /- /p; s/^> /+ /p' | wine_own
}
count() { grep -c "^$2" "$1" || true; }
figures() { echo "$(count "$1" F) files, $(count "$1" D) directories, $(count "$1" K) keys, $(count "$1" V) values"; }

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
