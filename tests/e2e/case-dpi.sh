#!/usr/bin/env bash
# The setup at 200% (192 pixels per inch: Wine's LogPixels, in a prefix of the case's own) beside the same
# run at 100%: the background's gradient still fills the screen; every
# control of the wizard keeps its place in proportion (each edge twice the one at 96, within a pixel); the
# wizard's text is drawn at twice the height and drawn anew, not a picture of the 96 one stretched; the
# question box the toolkit lays out (before replacing a file) has buttons twice as large.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"

config=$'[Setup - Main]\nShow Re-Boot=0\nFolder=Acme Tools\nInstall Dir=E2E\\Dpi
[Files]\nFile1=readme.txt~<INSTALLDIR>\n[Files - OverWrite]\nFile #0=1'
shots="$YAR_E2E_OUT/screenshots"
mkdir -p "$shots"

# One run at the prefix's resolution: the background checked and shot, the wizard's layout read on its
# welcome page and the wizard shot (layout-NAME.txt, screenshots/wizard-NAME.png), then the install over
# an earlier readme.txt, whose question's layout is read (box-NAME.txt) and answered No.
run_at() { # name
  rm -rf "$(host_path 'C:\E2E\Dpi')"
  use_product_diskset
  new_start_dir "dpi-$1" "$config"
  run_to_wizard
  expect_gradient 0xFF0000 0
  expect_page welcome
  drive layout "$WIZARD_CAPTION" >"$YAR_E2E_OUT/layout-$1.txt" || fail "cannot read the wizard's layout"
  shoot_window "$WIZARD_CAPTION" "$shots/wizard-$1.png"
  local dir
  dir=$(host_path 'C:\E2E\Dpi')
  mkdir -p "$dir"
  printf 'the earlier version\r\n' >"$dir/readme.txt"
  walk_to_ready >/dev/null
  drive click "$WIZARD_CAPTION" "&Install" || fail "cannot press Install"
  drive --timeout "$E2E_WAIT" layout Confirm >"$YAR_E2E_OUT/box-$1.txt" || { show_windows; fail "no question before replacing readme.txt"; }
  shoot_window Confirm "$shots/confirm-$1.png"
  drive answer Confirm "&No" || fail "cannot answer the question"
  ends_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
}

# The height of the dark text inside a rectangle of a screenshot (a button's caption), in pixels.
ink_height() { # file x y w h
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold 50% -trim -format %h info:
}

# Where the button of that text lies in a layout: "left top right bottom".
button_rect() { # layout text
  awk -F'\t' -v t="$2" '$2 == "Button" && $4 == t { print $3; exit }' "$1"
}

run_at 96

use_disposable_prefix
for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 || fail "cannot set LogPixels below $key"
done
# The prefix's processes read the resolution when they start: a new session.
wineserver -k >/dev/null 2>&1 || true
start_prefix
run_at 192

# The same controls in the same order, each edge (and the client area) twice the one at 96 within a pixel.
mismatch=$(paste -d '\n' "$YAR_E2E_OUT/layout-96.txt" "$YAR_E2E_OUT/layout-192.txt" | awk -F'\t' '
  NR % 2 == 1 { line = $0; n = split($0, a, "\t"); next }
  {
    split($0, b, "\t")
    if (a[1] ~ /^client/) { split(a[1], s, " "); split(b[1], t, " "); from = s[2] " " s[3]; to = t[2] " " t[3] }
    else if (a[1] != b[1] || a[2] != b[2] || a[4] != b[4]) { print "another control: " line " / " $0; next }
    else { from = a[3]; to = b[3] }
    k = split(from, x, " "); split(to, y, " ")
    for (i = 1; i <= k; i++) { d = y[i] - 2 * x[i]; if (d > 1 || d < -1) { print "not twice: " from " -> " to " (" a[2] " " a[4] ")"; break } }
  }')
[ -z "$mismatch" ] || fail "the layout at 192 is not the one at 96 doubled:
$mismatch"
expect_eq "controls at 192" "$(wc -l <"$YAR_E2E_OUT/layout-96.txt")" "$(wc -l <"$YAR_E2E_OUT/layout-192.txt")"

# Where a control of a layout lies in the screenshot of its window, "x y w h", inset by some pixels.
shot_rect() { # layout class id inset
  awk -F'\t' -v c="$2" -v id="$3" -v i="$4" '
    /^client/ { split($1, o, " "); x0 = o[4]; y0 = o[5] }
    $2 == c && $1 == id { split($3, r, " "); print x0 + r[1] + i, y0 + r[2] + i, r[3] - r[1] - 2 * i, r[4] - r[2] - 2 * i }' "$1" |
    tail -n 1
}

# The caption of Next (the last button of id 258, on the wizard's panel): twice as high at 192, within the
# font's own hinting (a tenth either way).
ink() { # name
  local x y w h
  read -r x y w h <<<"$(shot_rect "$YAR_E2E_OUT/layout-$1.txt" Button 258 4)"
  [ -n "$h" ] || fail "no Next button in the layout at $1"
  convert "$shots/wizard-$1.png" -crop "${w}x$h+$x+$y" +repage -colorspace gray -threshold 50% -trim -format %h info:
}
ink96=$(ink 96)
ink192=$(ink 192)
((ink192 * 10 >= ink96 * 17 && ink192 * 10 <= ink96 * 23)) || fail "Next is $ink192 pixels high at 192, $ink96 at 96"

# Drawn anew: the welcome text at 192 is no copy of itself at half the size with each pixel doubled (what
# a program stretched by the system would show), so taking every other pixel and doubling it changes it.
awk -F'\t' '$2 == "Edit" && $1 == 256 { n++ } END { exit n ? 0 : 1 }' "$YAR_E2E_OUT/layout-192.txt" ||
  fail "no welcome text in the layout at 192"
welcome=$(awk -F'\t' '/^client/ { split($1, o, " ") } $2 == "Edit" && $1 == 256 { split($3, r, " "); print o[4] + r[1] + 4, o[5] + r[2] + 4, r[3] - r[1] - 8, r[4] - r[2] - 8; exit }' "$YAR_E2E_OUT/layout-192.txt")
read -r x y w h <<<"$welcome"
convert "$shots/wizard-192.png" -crop "${w}x$h+$x+$y" +repage "$e2e_run/welcome.png"
convert "$e2e_run/welcome.png" -sample 50% -sample 200% "$e2e_run/welcome-doubled.png"
differing=$(compare -metric AE "$e2e_run/welcome.png" "$e2e_run/welcome-doubled.png" null: 2>&1 || true)
((${differing%%[!0-9]*} >= 500)) || fail "the text at 192 looks stretched: $differing pixels differ from its doubled half"

# The question's buttons: the toolkit's 75 x 25 at 96, twice that at 192.
button_sizes() { # name
  awk -F'\t' '$2 == "Button" { split($3, r, " "); printf "%s %dx%d\n", $4, r[3] - r[1], r[4] - r[2] }' \
    "$YAR_E2E_OUT/box-$1.txt" | xargs
}
expect_eq "question's buttons at 96" "&Yes 75x25 &No 75x25" "$(button_sizes 96)"
expect_eq "question's buttons at 192" "&Yes 150x50 &No 150x50" "$(button_sizes 192)"
