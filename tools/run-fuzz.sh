#!/usr/bin/env bash
# run-fuzz.sh BUILD_DIR SECONDS [TARGET...]: runs each fuzz target for SECONDS on its seed corpus.
# A longer run is the same command with more seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}; seconds=${2:-20}; shift 2 || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find "$build/tests/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)
fi
for t in "${targets[@]}"; do
  seeds="tests/fuzz/corpus/${t#fuzz_}"
  work="$build/fuzz-corpus/${t#fuzz_}"
  mkdir -p "$work"
  echo "-- $t for ${seconds}s"
  "$build/tests/fuzz/$t" -max_total_time="$seconds" -print_final_stats=0 \
    -artifact_prefix="$build/fuzz-artifacts-" "$work" $( [ -d "$seeds" ] && echo "$seeds" ) 2>&1 | tail -n 3
done
