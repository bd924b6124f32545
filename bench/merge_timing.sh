#!/bin/sh
# Times txrtool merge and diff on a generated 1,000,000-entry document that two sides changed:
# each edits 2,000 random Texts and adds 1,000 entries under the same new Global IDs (so
# theirs are renumbered). git's own line merge of the same files is the yardstick.
#   sh bench/merge_timing.sh [ENTRIES]
set -e
cd "$(dirname "$0")/.."
N=${1:-1000000}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_GUI=OFF -DQM_BUILD_TESTS=OFF \
    -DQM_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target gen_txr txrtool >/dev/null
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
./build-bench/bench/gen_txr --entries "$N" --seed 2 --single "$OUT/base"
python3 - "$OUT" <<'PY'
import random, sys
out = sys.argv[1]
lines = open(out + "/base.txr", "rb").read().split(b"\r\n")[:-1]
marker = lines.index(b"#")
head, entries = lines[:marker + 1], lines[marker + 1:]
last = int(head[0])
for name, seed in (("ours", 1), ("theirs", 2)):
    r = random.Random(seed)
    e = list(entries)
    for i in r.sample(range(len(e)), 2000):
        f = e[i].split(b"|", 3)
        e[i] = b"|".join(f[:3] + [f[3] + b" (" + name.encode() + b")"])
    e += [b"%d|Menu|0|added by %s %d" % (last + 1 + k, name.encode(), k) for k in range(1000)]
    open("%s/%s.txr" % (out, name), "wb").write(b"\r\n".join([b"%d" % (last + 1000)] + head[1:] + e) + b"\r\n")
PY
T=./build-bench/tools/txrtool
hyperfine -N -i --warmup 1 --runs 5 \
    "$T merge --renumber -o $OUT/merged.txr $OUT/base.txr $OUT/ours.txr $OUT/theirs.txr" \
    "git merge-file -p $OUT/ours.txr $OUT/base.txr $OUT/theirs.txr" \
    "$T diff $OUT/base.txr" \
    "$T resave $OUT/base.txr --to $OUT/resaved.txr"
$T merge --renumber -o "$OUT/merged.txr" "$OUT/base.txr" "$OUT/ours.txr" "$OUT/theirs.txr" 2>&1 | tail -1 || true
