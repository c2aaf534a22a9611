#!/usr/bin/env bash
# tools/frame-bench.sh BUILD [BASE]: the demo's frame, measured by velmora-capture --bench at
# 64 x 32 (where rasterising is almost free, so the per-vertex path shows) and at 800 x 400, 600
# turns each, with the time from process start to the first frame. With BASE (a git revision)
# that revision's velmora-capture is built in a temporary work tree and measured in the same run,
# alternating with this build's, and the ratios are printed.
set -euo pipefail
build=${1:-build}
base=${2:-}
cd "$(dirname "$0")/.."
cmake --build "$build" --target velmora-capture >/dev/null
tools=("$build/tools/capture/velmora-capture")
names=(this)
if [ -n "$base" ]; then
    tree=$(mktemp -d "${TMPDIR:-/tmp}/velmora-base.XXXXXX")
    trap 'git worktree remove --force "$tree" >/dev/null 2>&1 || true' EXIT
    git worktree add --detach -q "$tree" "$base"
    cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$tree/build" --target velmora-capture >/dev/null
    tools+=("$tree/build/tools/capture/velmora-capture")
    names+=("$base")
fi
measure() { # tool size -> "fps median start"
    "$1" --frames 600 --size "$2" --bench 2>&1 >/dev/null |
        sed -nE 's/.*: ([0-9.]+) frames per second.*median ([0-9.]+) ms.*presented ([0-9.]+) s.*/\1 \2 \3/p'
}
for size in 64x32 800x400; do
    for i in "${!tools[@]}"; do
        read -r fps median start < <(measure "${tools[$i]}" "$size")
        printf 'frame %-8s %-12s %7.1f frames/s  median %6.2f ms  first frame %.3f s\n' \
            "$size" "${names[$i]}" "$fps" "$median" "$start"
        eval "r_${size}_$i='$fps $median $start'"
    done
    if [ -n "$base" ]; then
        eval "set -- \$r_${size}_0 \$r_${size}_1"
        awk -v f="$1" -v m="$2" -v bf="$4" -v bm="$5" -v s="$size" \
            'BEGIN { printf "frame %-8s ratio to base: %.2fx frames/s, %.2fx median\n", s, f / bf, m / bm }'
    fi
done
