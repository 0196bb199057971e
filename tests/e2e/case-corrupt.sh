#!/usr/bin/env bash
# A damaged second volume: the expansion fails its check, "Error Expanding Files!!" is shown, no wizard
# follows, and the run ends as cancelled without the preselected restart.
# shellcheck source=tests/e2e/e2e-lib.sh
. "$(dirname "$0")/e2e-lib.sh"
new_start_dir corrupt $'[Setup - Main]\nShow Re-Boot=1'
# Overwrite a run of compressed bytes in the middle of the volume, clear of its record.
size=$(stat -c %s "$start_dir/disk.002")
printf '%*s' 64 '' | tr ' ' '\125' | dd of="$start_dir/disk.002" bs=1 seek=$((size / 2)) conv=notrunc status=none
start_setup
wait_window "$PREPARE_CAPTION"
expect_failed_preparation
