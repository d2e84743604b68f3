#!/usr/bin/env bash
# Builds the benchmarks and runs them all, one after another, on this
# machine; the figures they print are the ones in bench/README.md.
#
#   bench/run_all.sh            (as root, or where unshare -rmn works, for
#                                the two that need a private namespace)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDNSBATCH_BENCH=ON > /dev/null
cmake --build build/release
b=build/release/bench

echo "== codec: ours beside ldns on the same bytes"
"$b/bench_codec"
echo "== export: one pass beside read-and-rewrite per row"
"$b/bench_export"
echo "== endpoint: a burst while the handler is busy"
"$b/bench_endpoint" 100000
echo "== location: kept-open connection beside a new one per lookup"
/usr/bin/python3 bench/location_bench.py "$b/bench_location"
echo "== query burst against nsd: paced, unpaced, adnshost"
/usr/bin/python3 bench/burst_bench.py "$b/bench_burst" 10000 100000
echo "== the whole road through the window: 10,000 names, then 100,000 rows"
/usr/bin/python3 bench/window_bench.py "$b/bench_window" 10000
