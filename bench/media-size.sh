#!/usr/bin/env bash
# Packs one product with every method of `yar pack` and with NSIS (makensis: its default zlib and
# /SOLID lzma), and prints the sizes side by side, with the time each pack took.
#   bench/media-size.sh [PRODUCT_DIR] [METHODS]
# Without PRODUCT_DIR the product of bench/make-product.sh is made in a temporary directory.
# METHODS: the yar methods to pack with (default "lh5 lh7"). YAR names the yar to use (default:
# build/release/tools/yar/yar, built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v makensis >/dev/null || { echo "makensis is missing (Debian package nsis)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
product=${1:-}
if [ -z "$product" ]; then
    product=$work/product
    bench/make-product.sh "$product" >/dev/null
fi
product=$(cd "$product" && pwd)
methods=${2:-lh5 lh7}
yar=${YAR:-build/release/tools/yar/yar}
if [ ! -x "$yar" ]; then
    [ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
    cmake --build build/release -j2 --target yar >/dev/null
fi

size_of() { stat -c %s "$1"; }
now() { date +%s.%N; }
raw=$(du -sb --apparent-size "$product" | cut -f1)
files=$(find "$product" -type f | wc -l)

printf '%s files, %s bytes\n\n' "$files" "$raw"
printf '%-22s %14s %8s %10s %9s\n' packer bytes ratio "vs zlib" seconds
rows=()

nsis() { # nsis NAME COMPRESSOR
    local script=$work/$1.nsi start
    cat >"$script" <<EOF
Unicode true
SetCompressor $2
Name "Product"
OutFile "$work/$1.exe"
InstallDir "\$PROGRAMFILES\\Product"
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$product/*"
SectionEnd
EOF
    start=$(now)
    makensis -V1 "$script" >/dev/null
    rows+=("NSIS $2|$(size_of "$work/$1.exe")|$(echo "$(now) - $start" | bc)")
}
nsis zlib zlib
nsis lzma "/SOLID lzma"
zlib=$(echo "${rows[0]}" | cut -d'|' -f2)

for m in $methods; do
    start=$(now)
    "$yar" pack "$work/$m.yar" "$product" -m "$m" --quiet
    rows+=("yar pack -m $m|$(size_of "$work/$m.yar")|$(echo "$(now) - $start" | bc)")
done

for row in "${rows[@]}"; do
    IFS='|' read -r name bytes secs <<<"$row"
    printf '%-22s %14s %8.3f %10.3f %9.2f\n' "$name" "$bytes" "$(echo "$bytes / $raw" | bc -l)" \
        "$(echo "$bytes / $zlib" | bc -l)" "$secs"
done
