#!/usr/bin/env bash
# Custom gradient colours in both hexadecimal notations: green (0xFF00) at the top, red ($FF) at the bottom.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir colours $'[Setup - Main]\nDither From=0xFF00\nDither To=$FF\nShow Re-Boot=0'
run_to_wizard

expect_gradient 0x00FF00 0x0000FF
expect_header_pixels 0 0xFFFFFF
install_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
