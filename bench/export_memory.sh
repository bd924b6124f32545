#!/bin/sh
# Peak memory (maximum resident set size, from /usr/bin/time -v) of txrtool export of the
# generated 1,000,000-entry pair to each format, beside a read of the same pair alone (dump
# --mode paired, which streams its output): the export should need no more than the read plus a
# constant buffer.
#   sh bench/export_memory.sh [ENTRIES]
set -e
cd "$(dirname "$0")/.."
N=${1:-1000000}
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
peak() {
    /usr/bin/time -v "$@" 2>"$OUT/time" >/dev/null
    sed -n 's/.*Maximum resident set size (kbytes): //p' "$OUT/time" | awk '{ printf "%.1f MiB", $1 / 1024 }'
}
echo "| command | peak RSS |"
echo "|---|---|"
echo "| \`txrtool dump --mode paired\` (the read alone) | $(peak $T dump --mode paired $D) |"
for f in xlf po csv; do
    echo "| \`txrtool export\` to .$f | $(peak $T export $D --to "$OUT/large.$f") |"
done
