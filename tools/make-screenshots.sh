#!/usr/bin/env bash
# Regenerates the screenshots the README shows (docs/screenshots): runs the main job on its private
# display, where it walks the sample through the preparation window and every page of the wizard, and
# keeps small copies of what it shot (the full-screen background at half size).
set -euo pipefail
cd "$(dirname "$0")/.."
YAR_HEADLESS=1 tools/run-main.sh
out=docs/screenshots
mkdir -p "$out"
rm -f "$out"/*.png
for shot in build/sample/screenshots/*.png; do
  name=$(basename "$shot")
  resize=()
  [ "$name" = background.png ] && resize=(-resize 50%)
  [ "$name" = end.png ] && resize=(-resize 75%)
  convert "$shot" "${resize[@]}" -strip "PNG8:$out/$name"
done
# The wizard in German and Japanese, as the end-to-end case of the languages shoots it.
ctest --preset win32 -R 'e2e_diskset|e2e_languages' >/dev/null
for page in de-0-welcome de-3-folders ja-0-welcome ja-5-ready; do
  convert "build/win32/e2e/screenshots/wizard-$page.png" -strip "PNG8:$out/wizard-$page.png"
done
ls -l "$out"
