#!/usr/bin/env bash
# scripts/soak.sh BUILD TURNS: the demo's loop for TURNS turns through velmora-capture at 64x32
# with the default scene, 1/60 s per turn. Passes when
#   - resident memory stays flat after the warm-up: the median of the last quarter of the
#     samples after the warm-up exceeds the median of the first quarter by less than 1 MiB (a
#     median, because the GL driver's threads move the level by a MiB for a while and give it
#     back; a leak that grows with the turns moves the median);
#   - the GL reports no error but the torus's rejected line width (velmora-capture --check-gl);
#   - the path time stays in [0, 7) and wraps once every lap: with the speed divisor 5 a lap is
#     7 * 5 s = 2100 turns;
#   - the tool exits with status 0.
# SOAK_WARMUP (turns, default the smaller of 2500 and TURNS / 2) and SOAK_RSS_EVERY (default
# 100) override the sampling.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: scripts/soak.sh BUILD TURNS" >&2
    exit 2
fi
build=$1
turns=$2
capture=$build/tools/capture/velmora-capture
if [ ! -x "$capture" ]; then
    echo "soak: $capture not found; build the velmora-capture target first" >&2
    exit 2
fi
warmup=${SOAK_WARMUP:-$((turns / 2 < 2500 ? turns / 2 : 2500))}
every=${SOAK_RSS_EVERY:-100}
lap=2100

# The software renderer's own rasterising threads each keep tens of megabytes that a busy
# machine (other tests running beside this one) can make them take at any turn, and keep: a step
# in resident memory that is none of ours. Rasterising on the calling thread keeps its memory in
# one place and the measure about the demo; LP_NUM_THREADS=N in the environment still wins.
export LP_NUM_THREADS=${LP_NUM_THREADS:-0}

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-soak.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "soak: $turns turns at 64x32, 1/60 s per turn, resident memory every $every turns, warm-up $warmup turns"
start=$(date +%s.%N)
status=0
# The trace goes straight into awk, which keeps only the path time: a long run's trace would
# otherwise take tens of megabytes.
{
    code=0
    "$capture" --frames "$turns" --step 0.016666666666666666 --size 64x32 --check-gl \
        --rss-every "$every" --trace - 2>"$work/stderr.txt" || code=$?
    echo "$code" >"$work/exit"
} |
    awk '{
        if (!match($0, /"pathTime":[^,]*/)) { print "no pathTime in trace line " NR; bad = 1; next }
        t = substr($0, RSTART + 11, RLENGTH - 11)
        if (t !~ /^[0-9.eE+-]+$/ || t + 0 < 0 || t + 0 >= 7) { print "turn " NR ": pathTime " t " outside [0, 7)"; bad = 1 }
        if (NR > 1 && t + 0 < previous) { print "wrap " NR }
        previous = t + 0
      }
      END { print "turns " NR; exit bad }' >"$work/laps.txt" || status=$?
end=$(date +%s.%N)
code=$(cat "$work/exit")
if [ "$code" != 0 ]; then
    echo "soak: FAIL: velmora-capture ended with status $code"
    status=1
fi

grep -v '^rss: ' "$work/stderr.txt" || true
grep '^turn .*outside' "$work/laps.txt" | head -5 || true

awk -v warmup="$warmup" '
    function median(from, to,    i, j, k, n, t, v) {
        n = 0
        for (i = from; i <= to; ++i) { v[++n] = after[i] }
        for (i = 2; i <= n; ++i) { t = v[i]; for (j = i - 1; j >= 1 && v[j] > t; --j) v[j + 1] = v[j]; v[j + 1] = t }
        k = int((n + 1) / 2)
        return n % 2 ? v[k] : (v[k] + v[k + 1]) / 2
    }
    /^rss: turn / {
        turn = $3; kib = $4; parts = "anonymous " $7 " KiB, file " $10 " KiB"
        if (first == "") { first = kib }
        if (turn <= warmup) { atWarmup = kib; warmTurn = turn; warmSplit = parts; count = 1; after[1] = kib }
        else {
            after[++count] = kib
            if (kib > highest) { highest = kib; highTurn = turn; highSplit = parts }
        }
        last = kib; lastTurn = turn; lastSplit = parts
    }
    END {
        quarter = int(count / 4); if (quarter < 1) quarter = 1
        early = median(1, quarter)
        late = median(count - quarter + 1, count)
        growth = late - early
        printf "soak: resident memory after turn 1: %d KiB\n", first
        printf "soak: at turn %d (end of warm-up): %d KiB (%s)\n", warmTurn, atWarmup, warmSplit
        printf "soak: at turn %d (last): %d KiB (%s)\n", lastTurn, last, lastSplit
        if (highTurn != "") printf "soak: highest after warm-up: %d KiB at turn %d (%s)\n", highest, highTurn, highSplit
        printf "soak: median of the first quarter after warm-up %d KiB, of the last quarter %d KiB\n", early, late
        printf "soak: growth after warm-up %d KiB (limit 1024)\n", growth
        exit growth >= 1024
    }' "$work/stderr.txt" || { echo "soak: FAIL: resident memory grew by 1 MiB or more after the warm-up"; status=1; }

awk -v lap="$lap" -v turns="$turns" '
    /^wrap / { wraps++; t = $2; len = t - previous; previous = t
               if (len < lap - 2 || len > lap + 20) { printf "soak: FAIL: lap %d took %d turns\n", wraps, len; bad = 1 }
               if (min == "" || len < min) min = len; if (len > max) max = len }
    /^turns / { seen = $2 }
    END {
        if (seen != turns) { printf "soak: FAIL: the trace has %d turns, not %d\n", seen, turns; bad = 1 }
        tail = seen - previous
        if (tail > lap + 2) { printf "soak: FAIL: no wrap in the last %d turns\n", tail; bad = 1 }
        expected = int(turns / lap)
        if (wraps < expected - 1 || wraps > expected) { printf "soak: FAIL: %d wraps, expected about %d\n", wraps, expected; bad = 1 }
        printf "soak: path time wrapped %d times in %d turns, laps of %d to %d turns (%d expected)\n", wraps, seen, min, max, lap
        exit bad
    }' "$work/laps.txt" || status=1

if ! grep -q '^check-gl: 0 unexpected' "$work/stderr.txt"; then
    echo "soak: FAIL: GL errors (or no GL check report)"
    status=1
fi
echo "soak: $(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }') s wall time"
if [ "$status" = 0 ]; then
    echo "soak: PASS"
else
    echo "soak: FAIL"
fi
exit "$status"
