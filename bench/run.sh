#!/bin/sh
# Measures the core on a generated 1,000,000-entry pair of files and prints the figures,
# with cat and wc -l on the same file as the yardstick.
#   sh bench/run.sh [ENTRIES]
set -e
cd "$(dirname "$0")/.."
N=${1:-1000000}
sh scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQM_BUILD_GUI=OFF -DQM_BUILD_TESTS=OFF \
    -DQM_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target gen_txr bench_core txrtool >/dev/null
mkdir -p bench/data
[ -f bench/data/large.txr ] && [ "$(sed -n 1p bench/data/large.txr | tr -d '\r')" = "$N" ] ||
    ./build-bench/bench/gen_txr --entries "$N" --seed 1 bench/data/large
[ -f bench/data/single.txr ] && [ "$(sed -n 1p bench/data/single.txr | tr -d '\r')" = "$N" ] ||
    ./build-bench/bench/gen_txr --entries "$N" --seed 2 --single bench/data/single
ls -l bench/data/large.txr bench/data/large.txl bench/data/single.txr
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

echo "== whole processes (hyperfine)"
hyperfine -N --warmup 2 --runs 10 --export-json "$OUT/proc.json" \
    "cat bench/data/large.txr" \
    "wc -l bench/data/large.txr" \
    "./build-bench/tools/txrtool resave bench/data/single.txr --to $OUT/resaved.txr" \
    "python3 bench/csv_resave.py bench/data/single.txr $OUT/py.txr" >/dev/null
cmp bench/data/single.txr "$OUT/resaved.txr" && echo "txrtool resave: byte-identical"
cmp bench/data/single.txr "$OUT/py.txr" && echo "python csv resave: byte-identical"

echo "== in-process (Google Benchmark), LC_ALL=C"
LC_ALL=C QM_BENCH_OUT=$OUT ./build-bench/bench/bench_core --benchmark_format=json \
    --benchmark_out="$OUT/core-c.json" --benchmark_out_format=json >/dev/null
echo "== text sort, LC_ALL=en_US.UTF-8"
LC_ALL=en_US.UTF-8 QM_BENCH_OUT=$OUT ./build-bench/bench/bench_core --benchmark_filter='BM_Sort/(text|group_name)' \
    --benchmark_out="$OUT/core-en.json" --benchmark_out_format=json >/dev/null

python3 - "$OUT" <<'PY'
import json, sys, os
out = sys.argv[1]
proc = {r["command"]: r for r in json.load(open(os.path.join(out, "proc.json")))["results"]}
def med(prefix):
    for k, r in proc.items():
        if k.startswith(prefix):
            return r["median"]
cat, wc = med("cat "), med("wc -l")
print(f"\n| measured | median | vs cat | vs wc -l |\n|---|---|---|---|")
print(f"| cat FILE (70 MB) | {cat*1000:.1f} ms | 1.0 | {cat/wc:.1f} |")
print(f"| wc -l FILE | {wc*1000:.1f} ms | {wc/cat:.2f} | 1.0 |")
def row(name, sec):
    print(f"| {name} | {sec*1000:.1f} ms | {sec/cat:.1f} | {sec/wc:.1f} |")
for loc, fn in (("C", "core-c.json"), ("en_US.UTF-8", "core-en.json")):
    for b in json.load(open(os.path.join(out, fn)))["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        t = b["real_time"] / 1000.0  # ms -> s
        extra = ""
        if "table/file" in b:
            extra = f" (table holds {b['table/file']:.2f}x the file size)"
        name = b["name"].split("/min_time")[0].split("/iterations")[0]
        if name.startswith("BM_Sort") or loc == "C":
            row(f"{name} [{loc}]{extra}", t)
tx, py = med("./build-bench/tools/txrtool"), med("python3")
row("txrtool resave (process)", tx)
row("python3 csv read+write (process)", py)
print(f"\ntxrtool resave is {py/tx:.1f}x faster than Python's csv module")
PY
