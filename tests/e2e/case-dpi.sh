#!/usr/bin/env bash
# The wizard at 200% (192 pixels per inch, Wine's LogPixels in a prefix of the case's own) beside the
# same wizard at 100%: every control keeps its place in proportion (each rectangle twice the one at 96,
# within the rounding of its edges), the fonts are made twice as high rather than stretched, and the
# screenshots show it.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"

config=$'[Setup - Main]\nShow Re-Boot=0\nWork Station Prompt=1\nFolder=Acme Tools'
shots="$YAR_E2E_OUT/screenshots"
mkdir -p "$shots"

# The welcome page's layout (controls and fonts) and a screenshot of the wizard, at the prefix's resolution.
layout_at() { # name
  use_product_diskset
  new_start_dir "dpi-$1" "$config"
  run_to_wizard
  expect_page welcome
  drive layout "$WIZARD_CAPTION" >"$e2e_run/layout.txt" || fail "cannot read the wizard's layout"
  shoot_window "$WIZARD_CAPTION" "$shots/wizard-$1.png"
  close_wizard
}

layout_at 96dpi
cp "$e2e_run/layout.txt" "$YAR_E2E_OUT/layout-96.txt"

use_disposable_prefix
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
# The resolution is read when the session starts.
wineserver -k >/dev/null 2>&1 || true
start_prefix
layout_at 192dpi
cp "$e2e_run/layout.txt" "$YAR_E2E_OUT/layout-192.txt"
cat "$YAR_E2E_OUT/layout-96.txt" "$YAR_E2E_OUT/layout-192.txt"
