#!/usr/bin/env bash
# `make fuzz`: builds the model reader's libFuzzer target with clang into BUILD_DIR and runs it
# for SECONDS on a copy of the committed seed corpus (tests/fuzz/corpus/, left untouched).
# Any crash, sanitizer report or broken invariant fails; the input is kept as
# BUILD_DIR/fuzz-artifacts/crash-* to become a named regression test.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
cd "$(dirname "$0")/.."

if ! command -v clang++ > /dev/null; then
    echo "fuzz: clang++ is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_FUZZ=ON -DVELMORA_WERROR=ON > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target fuzz_model_reader

work="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
rm -rf "$work"
mkdir -p "$work" "$artifacts"
cp tests/fuzz/corpus/* "$work/"
echo "fuzz: running the model reader for $seconds s from $(ls tests/fuzz/corpus | wc -l) seeds"
"$build/tests/fuzz/fuzz_model_reader" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -rss_limit_mb=2048 -dict=tests/fuzz/obj.dict -artifact_prefix="$artifacts/" \
    -print_final_stats=1 "$work"
