#!/bin/sh
# Exchange with translators' tools on the generated 1,000,000-entry pair: export to each format,
# import of each back into the same document, and the outside tools on the same files as peers
# (msgfmt reading the PO, lconvert turning it into XLIFF, po2xliff once: it is slow).
#   sh bench/exchange.sh [ENTRIES]
set -e
cd "$(dirname "$0")/.."
N=${1:-1000000}
sh scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_GUI=OFF -DQM_BUILD_TESTS=OFF \
    -DQM_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target gen_txr txrtool >/dev/null
mkdir -p bench/data
[ -f bench/data/large.txr ] && [ "$(sed -n 1p bench/data/large.txr | tr -d '\r')" = "$N" ] ||
    ./build-bench/bench/gen_txr --entries "$N" --seed 1 bench/data/large
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
T=./build-bench/tools/txrtool
D="bench/data/large.txr bench/data/large.txl"
for f in xlf po csv; do $T export $D --to "$OUT/large.$f"; done
ls -l "$OUT"

hyperfine -N --warmup 1 --runs 5 --export-json "$OUT/txrtool.json" \
    "$T export $D --to $OUT/e.xlf" \
    "$T export $D --to $OUT/e.po" \
    "$T export $D --to $OUT/e.csv" \
    "$T import $OUT/large.xlf $D --to-txl $OUT/i.txl" \
    "$T import $OUT/large.po $D --to-txl $OUT/i.txl" \
    "$T import $OUT/large.csv $D --to-txl $OUT/i.txl"
cmp "$OUT/i.txl" bench/data/large.txl && echo "import of the unchanged export: the .txl is byte-identical"
hyperfine -N --warmup 1 --runs 3 --export-json "$OUT/peers.json" \
    "msgfmt -o /dev/null $OUT/large.po" \
    "/usr/lib/qt6/bin/lconvert -i $OUT/large.po -o $OUT/l.xlf"
hyperfine -N --runs 1 --export-json "$OUT/po2xliff.json" "po2xliff --progress=none $OUT/large.po $OUT/t.xlf"
python3 - "$OUT" <<'PY'
import json, sys, os
out = sys.argv[1]
rows = []
for name in ("txrtool.json", "peers.json", "po2xliff.json"):
    for r in json.load(open(os.path.join(out, name)))["results"]:
        rows.append((r["command"].replace(out + "/", ""), r["median"]))
print("\n| command | median |\n|---|---|")
for c, t in rows:
    print(f"| `{c}` | {t:.2f} s |")
PY
