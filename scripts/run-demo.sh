#!/usr/bin/env bash
# `make run`: the demo in a window when there is a display; otherwise one lap rendered
# headless (2,100 turns at 1/60 s, every 150th frame) into out/preview/.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/app/velmora"
fi

out=out/preview
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): rendering a headless preview of one lap instead."
rm -rf "$out"
mkdir -p "$out"
SDL_VIDEODRIVER=offscreen "$build/tools/capture/velmora-capture" \
    --frames 2100 --step 0.016666666666666666 --every 150 --out "$out" --bench
count=$(find "$out" -name 'frame-*.png' | wc -l)
echo "Preview: $count frames written to $(pwd)/$out/ (frame-000150.png ... frame-002100.png)."
