#!/usr/bin/env bash
# `make bench`: the model reader against tinyobjloader on one generated OBJ of a million
# triangles, and the smoothing's time per corner at 200,000 and 2,000,000 triangles. The
# benchmark prints both ratios and their bars at the end, and fails when a bar is missed.
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
