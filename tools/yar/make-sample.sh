#!/usr/bin/env bash
# make-sample.sh YAR SETUP OUT [SAMPLE] [VOLUME_SIZE] [UNINSTALLER]: the sample distribution in OUT (a
# new directory), made by `YAR build` from SAMPLE's install.cfg and the files below SAMPLE: SETUP copied
# in as install.exe, install.cfg with its "Install Disks", and the disk set packed with lh5, UNINSTALLER
# packed along as uninstaller.exe when the configuration installs one. The configuration is checked
# first, the distribution after, and a second build into a scratch directory must give the same bytes.
# SAMPLE defaults to samples/demo, VOLUME_SIZE to 16k (the smallest volume, so that a small sample still
# shows the volumes of a set); "floppy" lays the disks out one directory each.
set -euo pipefail
yar=${1:?yar program}; setup=${2:?install.exe}; out=${3:?output directory}
sample=${4:-"$(cd "$(dirname "$0")/../.." && pwd)/samples/demo"}; size=${5:-16k}; uninstaller=${6:-}
[ -f "$sample/install.cfg" ] || { echo "make-sample.sh: no install.cfg in $sample" >&2; exit 1; }
extra=()
if grep -qiE '^[^;]*=uninstaller\.exe~' "$sample/install.cfg"; then
  [ -n "$uninstaller" ] || { echo "make-sample.sh: $sample/install.cfg installs uninstaller.exe: name it" >&2; exit 1; }
  extra=(--uninstaller "$uninstaller")
fi
"$yar" check "$sample/install.cfg" --source "$sample" "${extra[@]}"
build() { "$yar" build "$sample/install.cfg" --source "$sample" --setup "$setup" --volume-size "$size" "${extra[@]}" -o "$1"; }
build "$out"
first=$out; [ -d "$out/disk1" ] && first=$out/disk1
"$yar" check "$first/install.cfg"
"$yar" test -q "$first/disk.001"
again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
build "$again/dist" >/dev/null
diff -r "$out" "$again/dist" >/dev/null || { echo "make-sample.sh: two builds of the sample differ" >&2; exit 1; }
echo "a second build gave the same bytes"
