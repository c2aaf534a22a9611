#!/usr/bin/env bash
# `make bench`: the model reader on two generated OBJ files (60 MB of "f a//b" quads, about
# 100 MB of v/vt/vn "f a/b/c" triangles) beside tinyobjloader, and the smoothing's time per
# corner at 200,000 and 2,000,000 triangles. The benchmark prints the throughputs, the ratios and
# the bars at the end, and fails when a bar is missed (a loaded machine can miss them too: it
# says so with the load average). VELMORA_BENCH_DIR=folder keeps the generated files there.
# Further arguments go to Google Benchmark (e.g. --benchmark_filter=Load).
set -euo pipefail
build=${1:-build}
[ $# -gt 0 ] && shift
cd "$(dirname "$0")/.."

bench="$build/bench/reader/bench_reader"
if [ ! -x "$bench" ]; then
    cmake --build "$build" --target bench_reader
fi
# One thread is measured; other work on the machine shows up in the wall-clock times.
exec "$bench" --benchmark_counters_tabular=true "$@"
