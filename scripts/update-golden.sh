#!/usr/bin/env bash
# `make golden`: re-renders the golden pictures the capture and viewer tests compare against.
# Run it only when a change to the picture is intended, look at the new pictures, and commit them.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
capture="$build/tools/capture/velmora-capture"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
render() {
    local name=$1
    shift
    rm -rf "$tmp/out"
    "$capture" "$@" --out "$tmp/out"
    cp "$(ls "$tmp"/out/frame-*.png | tail -n 1)" "tests/golden/$name.png"
    echo "tests/golden/$name.png"
}
render start --frames 2 --size 400x200
render midlap --frames 120 --step 0.16666667 --size 400x200
printf '2 keydown 80\n6 keyup 80\n' > "$tmp/path.txt"
render path --frames 48 --step 0.16666667 --size 400x200 --script "$tmp/path.txt"
for model in spaceship surface lego; do
    "$build/view/velmora-view" "data/$model.obj" --size 120 --output "tests/golden/view-$model.png"
    echo "tests/golden/view-$model.png"
done
