#!/usr/bin/env bash
# install.cfg that sets nothing but "Show Re-Boot=0": the design's gradient and headers, return to Windows
# preselected, and the completion message naming the built-in header.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir defaults $'[Setup - Main]\nShow Re-Boot=0'
run_to_wizard

expect_gradient 0xFF0000 0
expect_header_pixels 0 0xFFFFFF
expect_end_choice "visible disabled unchecked" "visible enabled checked" "hidden enabled unchecked"
install_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
