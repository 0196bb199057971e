#!/usr/bin/env bash
# Builds the decode benchmark with the release preset and prints its table.
#   bench/run.sh [size in MiB] [repetitions]
# YAR_BENCH_BUILD names the build directory (default: the preset's build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${YAR_BENCH_BUILD:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" -j2 --target yar_decode_bench >/dev/null
"$build/bench/yar_decode_bench" "$@"
