#!/usr/bin/env bash
# A product to install in the benchmarks: DIR is filled with about 96 MiB in about 300 files, a mix of
# programs (Wine's 32-bit DLLs), documents (the texts of /usr/share/doc), pictures (PNGs of /usr/share)
# and data (tables and records made here), in the directories bin, doc, pictures and data. The same
# machine gives the same files every time: sources are taken in name order, made data from a fixed seed.
# File names are unique across the directories (a set is expanded flat).
#   bench/make-product.sh DIR
set -euo pipefail
dir=${1:?usage: make-product.sh DIR}
mkdir -p "$dir"
python3 - "$dir" <<'EOF'
import gzip, os, random, sys

root = sys.argv[1]
MiB = 1 << 20
used = set()


def unique(name):
    base, ext = os.path.splitext(name)
    n, out = 1, name
    while out.lower() in used:
        n += 1
        out = "%s-%d%s" % (base, n, ext)
    used.add(out.lower())
    return out


def put(sub, name, data):
    os.makedirs(os.path.join(root, sub), exist_ok=True)
    with open(os.path.join(root, sub, unique(name)), "wb") as f:
        f.write(data)


def files_under(top, keep):
    found = []
    for d, subs, names in os.walk(top):
        subs.sort()
        for n in sorted(names):
            p = os.path.join(d, n)
            if os.path.isfile(p) and not os.path.islink(p) and keep(p):
                found.append(p)
    return found


def take(paths, budget, count, lo, hi):
    """Every k-th path of a size in [lo, hi], until count files or budget bytes."""
    sized = [p for p in paths if lo <= os.path.getsize(p) <= hi]
    step = max(1, len(sized) // count)
    chosen, total = [], 0
    for p in sized[::step]:
        if len(chosen) == count or total >= budget:
            break
        chosen.append(p)
        total += os.path.getsize(p)
    return chosen


# Programs: about 50 MiB in 110 DLLs and executables.
dlls = files_under("/usr/lib/i386-linux-gnu/wine/i386-windows", lambda p: p.endswith((".dll", ".exe")))
for p in take(dlls, 50 * MiB, 110, 64 << 10, 6 * MiB):
    with open(p, "rb") as f:
        put("bin", os.path.basename(p), f.read())

# Documents: about 14 MiB of text in 120 files, each changelog or copyright of a package (several
# joined when small).
texts = files_under("/usr/share/doc", lambda p: p.endswith((".gz", "copyright")))
doc_total, buf, n = 0, b"", 0
for p in texts:
    if doc_total >= 14 * MiB or n >= 120:
        break
    try:
        data = gzip.open(p).read() if p.endswith(".gz") else open(p, "rb").read()
    except OSError:
        continue
    buf += data
    if len(buf) >= 48 << 10:
        n += 1
        put("doc", "doc%03d.txt" % n, buf)
        doc_total += len(buf)
        buf = b""

# Pictures: up to 12 MiB of PNGs, 80 files of 4 KiB or more.
pngs = files_under("/usr/share", lambda p: p.endswith(".png"))
for p in take(pngs, 12 * MiB, 80, 4 << 10, 4 * MiB):
    with open(p, "rb") as f:
        put("pictures", os.path.basename(p), f.read())

# Data: the rest up to 96 MiB in 40 files: text tables, fixed-size records, and a few random blocks
# (already compressed data, as in an application's own archives).
rng = random.Random(96)
rest = 96 * MiB - sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(root) for f in fs)
words = ["alpha", "beta", "gamma", "delta", "north", "south", "east", "west", "red", "green", "blue"]
for i in range(40):
    size = max(16 << 10, rest // (40 - i))
    kind = i % 4
    if kind == 0:
        rows = []
        while sum(map(len, rows)) < size:
            rows.append("%d;%s;%s;%.3f\r\n" % (len(rows), rng.choice(words), rng.choice(words), rng.random() * 1000))
        data = "".join(rows).encode()[:size]
    elif kind in (1, 2):
        records = b"".join(rng.randbytes(6) + bytes(10) + rng.choice(words).encode().ljust(16, b" ")
                           for _ in range(2048))
        data = b"".join(n.to_bytes(4, "little") + records for n in range(size // len(records) + 1))[:size]
    else:
        data = rng.randbytes(size)
    put("data", "data%02d.%s" % (i, ["csv", "dat", "idx", "pak"][kind]), data)
    rest -= len(data)
EOF
