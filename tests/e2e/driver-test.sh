#!/usr/bin/env bash
# The driver against a probe window: finding, reading (as a screen reader does too), checking, clicking,
# closing, and its exit codes.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
: "${YAR_PROBE:?}"
new_run driver
probe="yardrive probe"

start_in "$e2e_run" "$YAR_PROBE"
wait_window "$probe"

status() { # expected-exit-code command...
  local want=$1 got=0
  shift
  drive "$@" >/dev/null || got=$?
  expect_eq "exit code of '$*'" "$want" "$got"
}

# Lookups that fail say how.
status 1 visible "no such window"
status 2 --timeout 0.3 visible "no such window"
status 4 click "$probe" "No such button"
status 64 no-such-command

# States of controls, by text with or without the accelerator mark, and by id.
expect_eq "first radio" checked "$(drive check "$probe" First)"
status 3 check "$probe" Second
status 0 check "$probe" 10
status 3 visible "$probe" Hidden
status 0 visible "$probe" "&Press"
status 3 enabled "$probe" Off
status 0 enabled "$probe" Press
status 0 showing "$probe" Press
status 3 showing "$probe" Hidden
expect_eq "first control on screen" "&Press" "$(drive showing "$probe" Hidden "No such button" "&Press" Off)"
expect_eq "control list line" $'100\tButton\tvisible\tenabled\tunchecked\t&Press' \
  "$(drive controls "$probe" | grep '^100')"

# As a screen reader finds the window: its controls by name, the mark gone; hidden ones left out.
objects=$(drive accessible "$probe") || fail "no accessible objects of the probe"
grep -qP '^ +\S.*\tPress\t' <<<"$objects" || fail "the button Press is not told: $objects"
if grep -q $'\tHidden\t' <<<"$objects"; then fail "a hidden control is told: $objects"; fi
status 1 accessible "no such window"
status 64 keys "$probe" no-such-key
status 1 keys "no such window" tab

# A posted click that opens a modal box returns at once; the box's text comes back exactly.
status 0 click "$probe" Press
expect_eq "box text" 'Line one\r\rLine two' "$(drive --timeout "$E2E_WAIT" text "yardrive probe box")"
status 0 answer "yardrive probe box" 1
status 1 visible "yardrive probe box"
wait_window "yardrive probe pressed"

# A radio click moves the group's check.
status 0 click "yardrive probe pressed" Second
drive --timeout 5 check "yardrive probe pressed" Second >/dev/null || fail "second radio not checked after click"
status 3 check "yardrive probe pressed" First

read -r l t r b <<<"$(drive rect "yardrive probe pressed")"
expect_eq "window size" "300x220" "$((r - l))x$((b - t))"
[ -n "$(drive syserror 3)" ] || fail "no system text for error 3"
short=$(drive shortpath 'C:\Program Files')
[[ $short =~ ^C:\\[^\\]{1,8}$ && $short == *"~"* ]] || fail "short path of C:\Program Files: '$short'"

# A click on the background (clear of the buttons) reaches the window at that point of its client area.
status 0 click-at "yardrive probe pressed" 250 170
wait_window "yardrive probe clicked 250 170"

status 0 close "yardrive probe clicked 250 170"
expect_setup_ends
expect_eq "probe exit code" 7 "$setup_status"
status 0 wait-gone "yardrive probe clicked 250 170" 1
echo "driver: all checks passed"
