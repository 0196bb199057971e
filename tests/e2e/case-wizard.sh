#!/usr/bin/env bash
# The wizard's pages on the real windows: with a licence, a folder and the install-type page every page
# shows, the licence page leaves only by Accept or Decline, Back retraces the way; without a licence or a
# folder and with the warning page switched off the wizard opens on the destination page and Next leads
# straight to the ready page. Decline and Cancel end the run as cancelled.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
# shellcheck disable=SC2119 # the walk's command is optional

expect_next() { expect_eq "Next" "$1" "$(drive enabled "$WIZARD_CAPTION" "&Next" || true)"; }

# Every page, forward and back; then Decline.
use_product_diskset
new_start_dir wizard-all-pages $'[Setup - Main]\nShow Re-Boot=0\nWork Station Prompt=1\nFolder=Acme Tools'
run_to_wizard
expect_page welcome
expect_eq "pages forward" "welcome licence destination folders type ready" "$(walk_to_ready | xargs)"
expect_next disabled
expect_eq "Install" showing "$(drive showing "$WIZARD_CAPTION" "&Install" || true)"
drive controls "$WIZARD_CAPTION" | grep -q 'Install to:' || fail "no summary on the ready page"
for page in type folders destination licence welcome; do press_to "&Back" "$page"; done
expect_eq "Back" disabled "$(drive enabled "$WIZARD_CAPTION" "&Back" || true)"
press_to "&Next" licence
expect_next disabled
drive click "$WIZARD_CAPTION" Decline || fail "cannot press Decline"
ends_with "$CANCELED_MESSAGE"

# No licence, no folder, no warning page: destination, then ready; Back from there to the destination and
# on to the welcome page; then Cancel.
diskset=$YAR_DISKSET
new_start_dir wizard-short $'[Setup - Main]\nShow Re-Boot=0\nShow Warning Screen=0\nFolder='
run_to_wizard
expect_eq "pages forward" "destination ready" "$(walk_to_ready | xargs)"
press_to "&Back" destination
press_to "&Back" welcome
drive click "$WIZARD_CAPTION" "&Cancel" || fail "cannot press Cancel"
ends_with "$CANCELED_MESSAGE"

# With a licence, a wizard without its warning page opens on the licence page, and Back reaches the
# warning page all the same.
use_product_diskset
new_start_dir wizard-licence-first $'[Setup - Main]\nShow Re-Boot=0\nShow Warning Screen=0'
run_to_wizard
expect_page licence
expect_next disabled
press_to "&Back" welcome
press_to "&Next" licence
press_to Accept destination
install_with 'Your installation of \rYAR - Tarnwick 32Bit\rhas be completed.\r\rPlease Remove any floppies from drive.'
