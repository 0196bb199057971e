#!/usr/bin/env bash
# make-sample.sh YAR OUT [SAMPLE] [VOLUME_SIZE]: the sample distribution in OUT: SAMPLE's install.cfg
# beside the disk set (disk.001, disk.002, ...) of the files below SAMPLE/files, packed by YAR with lh5.
# SAMPLE defaults to samples/demo, VOLUME_SIZE to 16k (the smallest volume, so that a small sample
# still shows the volumes of a set). install.exe itself is copied in by whoever built it.
set -euo pipefail
yar=${1:?yar program}; out=${2:?output directory}
sample=${3:-"$(cd "$(dirname "$0")/../.." && pwd)/samples/demo"}; size=${4:-16k}
[ -f "$sample/install.cfg" ] || { echo "make-sample.sh: no install.cfg in $sample" >&2; exit 1; }
mkdir -p "$out"
rm -f "$out"/disk.[0-9][0-9][0-9]
cp "$sample/install.cfg" "$out/"
"$yar" pack -q --volume-size "$size" "$out/disk.001" "$sample/files"
"$yar" test -q "$out/disk.001"
ls "$out"
