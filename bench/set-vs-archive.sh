#!/usr/bin/env bash
# The cost of reading a segment set beside the same files in one archive: a tree of SIZE MiB (text,
# program-like and random files) is packed by yar as one archive and as a set of 1.44 MB volumes on
# /dev/shm, and `yar test` of each is timed as a whole process, REPS paired runs, medians and the ratio.
#   bench/set-vs-archive.sh [YAR] [SIZE in MiB, default 64] [REPS, default 5]
# YAR defaults to the release build's tools/yar/yar (built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
yar=${1:-build/release/tools/yar/yar}
size=${2:-64}
reps=${3:-5}
if [ ! -x "$yar" ]; then
  [ -f build/release/CMakeCache.txt ] || cmake --preset release >/dev/null
  cmake --build build/release -j2 --target yar >/dev/null
fi
work=$(mktemp -d /dev/shm/yar-setbench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Files of 64 KiB to 1 MiB in eight directories; a third each text, repeated records and random bytes.
python3 - "$work/tree" "$size" <<'EOF'
import os, random, sys
root, total = sys.argv[1], int(sys.argv[2]) << 20
rng = random.Random(7)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(3000)]
done = n = 0
while done < total:
    size = min(rng.randint(64 << 10, 1 << 20), total - done)
    kind = n % 3
    if kind == 0:
        data = b" ".join(rng.choice(words) for _ in range(size // 5))[:size]
    elif kind == 1:
        data = b"".join(rng.randbytes(16) + b"\0" * 16 + n.to_bytes(4, "little") * 4 for _ in range(size // 48 + 1))[:size]
    else:
        data = rng.randbytes(size)
    d = os.path.join(root, "dir%d" % (n % 8))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "file%d.dat" % n), "wb") as f:
        f.write(data)
    done += size
    n += 1
EOF
"$yar" pack -q "$work/one.yar" "$work/tree"
mkdir "$work/set"
"$yar" pack -q "$work/set/disk.001" "$work/tree"
volumes=$(ls "$work/set" | wc -l)

# Whole-process seconds of one `yar test`.
run() {
  local start end
  start=$(date +%s.%N)
  "$yar" test -q "$1" >/dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

archive_times=() set_times=() ratios=()
for ((i = 0; i < reps; i++)); do
  a=$(run "$work/one.yar")
  s=$(run "$work/set/disk.001")
  archive_times+=("$a") set_times+=("$s") ratios+=("$(echo "scale=4; $s / $a" | bc)")
done
printf 'yar test, %d MiB, %d paired runs (%s)\n' "$size" "$reps" "$yar"
printf '  one archive          %8.3f s (median)\n' "$(printf '%s\n' "${archive_times[@]}" | median)"
printf '  set of %3d volumes   %8.3f s (median)\n' "$volumes" "$(printf '%s\n' "${set_times[@]}" | median)"
printf '  set / archive        %8.3f   (median of the paired ratios)\n' "$(printf '%s\n' "${ratios[@]}" | median)"
