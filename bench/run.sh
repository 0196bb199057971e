#!/usr/bin/env bash
# Builds the decode benchmark and the yar it starts, and prints its two tables.
#   bench/run.sh [size in MiB] [repetitions]
# YAR_BENCH_BUILD names the build directory (default: the release preset's build/release). A build
# directory that is already configured keeps its configuration.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${YAR_BENCH_BUILD:-build/release}
[ -f "$build/CMakeCache.txt" ] || cmake --preset release -B "$build" >/dev/null
cmake --build "$build" -j2 --target yar_decode_bench yar >/dev/null
"$build/bench/yar_decode_bench" "$@"
