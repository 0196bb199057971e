#!/usr/bin/env bash
# case-picture.sh NAME: the product set's picture NAME (logo.gif, animated, or logo.bmp, still) is shown on
# the background in a panel 10 pixels larger than the 40 x 30 magenta image: centred, 20 pixels from the
# left, or 20 pixels from the right, always at the same height below the headers.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
picture=${1:?picture name}
use_product_diskset

# Left, top, right and bottom of the magenta pixels in the screenshot.
picture_box() {
  convert "$shot" txt:- | awk 'index(toupper($0), "#FF00FF") { split($1, p, /[,:]/); x = p[1] + 0; y = p[2] + 0
      if (!n++) { l = r = x; t = b = y } if (x < l) l = x; if (x > r) r = x; if (y < t) t = y; if (y > b) b = y }
      END { if (n) print l, t, r, b; else print "none" }'
}

tops=()
for align in center left right; do
  case $align in
  center) keys=$'Align Center=1' ;;
  left) keys=$'Align Center=0\nAlign Left=1' ;;
  right) keys=$'Align Center=0\nAlign Left=0' ;;
  esac
  new_start_dir "picture-${picture%%.*}-$align" $'[Setup - Main]\nShow Re-Boot=0\nDither From=0\nDither To=0\n'"Bitmap File=$picture"$'\n'"$keys"
  run_to_wizard
  read -r left top right bottom <<<"$(picture_box)"
  [ "$left" != none ] || fail "$align: no picture on the background"
  expect_eq "$align: picture size" 40x30 "$((right - left + 1))x$((bottom - top + 1))"
  # The image sits 5 pixels inside its panel, which is 50 pixels wide.
  case $align in
  center) expect_eq "centred picture" $((win_width / 2 - 25 + 5)) "$left" ;;
  left) expect_eq "picture on the left" 25 "$left" ;;
  right) expect_eq "picture on the right" $((win_width - 50 - 20 + 5)) "$left" ;;
  esac
  tops+=("$top")
  close_wizard
done
if [ "${tops[0]}" != "${tops[1]}" ] || [ "${tops[1]}" != "${tops[2]}" ]; then
  fail "the picture moved up or down: ${tops[*]}"
fi
if [ "${tops[0]}" -le 40 ] || [ "${tops[0]}" -ge 200 ]; then fail "picture top ${tops[0]} not below the headers"; fi
