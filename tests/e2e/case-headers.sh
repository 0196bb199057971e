#!/usr/bin/env bash
# Both header lines with their own text, font, size, colour and shadow colour on a dark grey gradient.
# The first line's text names the product in the completion message.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
red=0x0000FF yellow=0x00FFFF green=0x00FF00 magenta=0xFF00FF
new_start_dir headers "[Setup - Main]
Show Re-Boot=0
Dither From=0x404040
Dither To=0x202020
Header=Acme Widget Setup
Header Font Name=Courier New
Header Font Size=40
Header Font Color=$red
Header Font Shadow=$yellow
Header2=The second header line
Header2 Font Name=Arial
Header2 Font Size=14
Header2 Font Color=$green
Header2 Font Shadow=$magenta"
run_to_wizard

expect_gradient 0x404040 0x202020
expect_header_pixels "$red" "$yellow"
# The first line is as tall as a 40-point font makes it (a 26-point one spans about 34 rows), and the
# second line sits below it.
read -r first_top first_bottom <<<"$(colour_rows "$(rgb_hex $red)" 160)"
read -r second_top second_bottom <<<"$(colour_rows "$(rgb_hex $green)" 160)"
if [ "$first_top" = none ] || [ "$second_top" = none ]; then fail "header text not found on screen"; fi
[ $((first_bottom - first_top)) -ge 44 ] || fail "first header only $((first_bottom - first_top + 1)) rows high"
[ "$second_top" -gt "$first_bottom" ] || fail "second header (rows $second_top-$second_bottom) overlaps the first"
expect_colour_in "second header shadow" 0 "$second_top" $((win_width / 2)) 40 "$magenta" 20
install_with 'Your installation of \rAcme Widget Setup\rhas be completed.\r\rPlease Remove any floppies from drive.'
