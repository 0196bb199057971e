#!/usr/bin/env bash
# make-sample.sh YAR OUT [SAMPLE] [VOLUME_SIZE] [UNINSTALLER]: the sample distribution in OUT: SAMPLE's
# install.cfg beside the disk set (disk.001, disk.002, ...) of the files below SAMPLE/files, packed by YAR
# with lh5, and UNINSTALLER packed along as uninstaller.exe when the configuration installs one. "Install
# Disks" is set to the number of volumes packed. SAMPLE defaults to samples/demo, VOLUME_SIZE to 16k (the
# smallest volume, so that a small sample still shows the volumes of a set). install.exe itself is copied
# in by whoever built it.
set -euo pipefail
yar=${1:?yar program}; out=${2:?output directory}
sample=${3:-"$(cd "$(dirname "$0")/../.." && pwd)/samples/demo"}; size=${4:-16k}; uninstaller=${5:-}
[ -f "$sample/install.cfg" ] || { echo "make-sample.sh: no install.cfg in $sample" >&2; exit 1; }
extra=()
if grep -qiE '^[^;]*=uninstaller\.exe~' "$sample/install.cfg"; then
  [ -n "$uninstaller" ] || { echo "make-sample.sh: $sample/install.cfg installs uninstaller.exe: name it" >&2; exit 1; }
  extra=(--uninstaller "$uninstaller")
fi
mkdir -p "$out"
rm -f "$out"/disk.[0-9][0-9][0-9]
"$yar" pack -q --volume-size "$size" "${extra[@]}" "$out/disk.001" "$sample/files"
"$yar" test -q "$out/disk.001"
volumes=$(find "$out" -maxdepth 1 -name 'disk.[0-9][0-9][0-9]' | wc -l)
sed "s/^Install Disks=.*/Install Disks=$volumes/" "$sample/install.cfg" >"$out/install.cfg"
ls "$out"
