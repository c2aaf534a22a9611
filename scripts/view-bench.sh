#!/usr/bin/env bash
# scripts/view-bench.sh BUILD: velmora-view headless at 1024 x 768 on a generated torus of a
# million triangles (scripts/view-model.sh): the time from the process start to the first frame
# drawn (bar: at most 2 s) and the frames per second while the view orbits (bar: at least 10).
# ROUNDS runs (default 3), the median of each figure. Exits 1 when a bar is missed.
set -euo pipefail
build=${1:-build}
rounds=${ROUNDS:-3}
cd "$(dirname "$0")/.."
cmake --build "$build" --target velmora-view >/dev/null
view="$build/view/velmora-view"
model=$(mktemp "${TMPDIR:-/tmp}/velmora-view-bench.XXXXXX")
trap 'rm -f "$model"' EXIT
scripts/view-model.sh torus 1000 500 >"$model"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
first=() fps=() outline=
for ((round = 0; round < rounds; ++round)); do
    out=$("$view" "$model" --bench-orbit 60)
    first+=("$(sed -nE 's/^first frame: ([0-9.]+) s.*/\1/p' <<<"$out")")
    fps+=("$(sed -nE 's/^orbit: .*, ([0-9.]+) frames per second.*/\1/p' <<<"$out")")
    outline=$(sed -nE 's/.*outline while moving: (.*)$/\1/p' <<<"$out")
done
first=$(printf '%s\n' "${first[@]}" | median)
fps=$(printf '%s\n' "${fps[@]}" | median)
printf 'view 1,000,000 triangles: first frame %.3f s after start, orbit %.1f frames/s at 1024 x 768 (outline while moving: %s)\n' \
    "$first" "$fps" "$outline"
status=0
bar() { # description value limit direction(le|ge)
    local verdict=PASS
    awk -v v="$2" -v l="$3" -v d="$4" 'BEGIN { exit !(d == "le" ? v <= l : v >= l) }' ||
        { verdict=FAIL; status=1; }
    printf 'bar: %-58s %8.3f (limit %s) %s\n' "$1" "$2" "$3" "$verdict"
}
bar "view: seconds from start to the first frame (at most 2)" "$first" 2 le
bar "view: frames per second while orbiting (at least 10)" "$fps" 10 ge
if [ $status -ne 0 ]; then
    echo "view-bench: a bar was missed with the load average at $(cut -d' ' -f1-3 /proc/loadavg)"
fi
exit $status
