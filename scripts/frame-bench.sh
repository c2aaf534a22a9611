#!/usr/bin/env bash
# scripts/frame-bench.sh BUILD [BASE]: the demo's frame, measured by velmora-capture --bench at
# 64 x 32 (where rasterising is almost free, so the per-vertex path shows) and at 800 x 400, 600
# turns each, with the time from process start to the first frame. With BASE (a git revision)
# that revision's velmora-capture is built in a temporary work tree and measured in the same
# run, the two alternating over ROUNDS rounds (median of each figure), and the bars are checked:
# at 64 x 32 at most half the base's median frame time, at 800 x 400 at least 1.5 times its
# frames per second, the first frame no later. Exits 1 when a bar is missed.
set -euo pipefail
build=${1:-build}
base=${2:-}
rounds=${ROUNDS:-3}
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
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A fps ms start
for size in 64x32 800x400; do
    for ((round = 0; round < rounds; ++round)); do
        for i in "${!tools[@]}"; do
            read -r f m s < <(measure "${tools[$i]}" "$size")
            fps[$size,$i]+="$f "; ms[$size,$i]+="$m "; start[$size,$i]+="$s "
        done
    done
    for i in "${!tools[@]}"; do
        for table in fps ms start; do
            declare -n t=$table
            t[$size,$i]=$(tr ' ' '\n' <<<"${t[$size,$i]}" | grep . | median)
        done
        printf 'frame %-8s %-12s %7.1f frames/s  median %6.2f ms  first frame %.3f s\n' "$size" \
            "${names[$i]}" "${fps[$size,$i]}" "${ms[$size,$i]}" "${start[$size,$i]}"
    done
done
[ -z "$base" ] && exit 0
status=0
bar() { # description value limit (pass when value <= limit)
    local verdict=PASS
    awk -v v="$2" -v l="$3" 'BEGIN { exit !(v <= l) }' || { verdict=FAIL; status=1; }
    printf 'bar: %-58s %8.3f (limit %.3f) %s\n' "$1" "$2" "$3" "$verdict"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
bar "64x32 median frame time / base's (at most 0.5)" "$(ratio "${ms[64x32,0]}" "${ms[64x32,1]}")" 0.5
bar "base's 800x400 frames per second / ours (at most 1/1.5)" \
    "$(ratio "${fps[800x400,1]}" "${fps[800x400,0]}")" 0.6667
for size in 64x32 800x400; do
    # Start-up is a tenth of a second; 10 ms either way is the noise of one process start.
    bar "$size first frame, seconds (at most the base's + 0.01)" "${start[$size,0]}" \
        "$(awk -v b="${start[$size,1]}" 'BEGIN { print b + 0.01 }')"
done
if [ "$status" -ne 0 ]; then
    echo "frame: a bar was missed; with other work on the machine (load average $(cut -d' ' -f1-3 /proc/loadavg)) the figures are not comparable"
fi
exit "$status"
