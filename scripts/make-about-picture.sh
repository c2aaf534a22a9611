#!/usr/bin/env bash
# Re-renders res/about.bmp, the About panel's 320 x 241 picture, as a frame of the demo itself:
# turn 900 with the flight path shown, the client area above the status bar. Needs ImageMagick
# (installed here when missing, as root) for the crop and the 24-bit BMP.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { apt-get install -y -qq imagemagick >/dev/null; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '2 keydown 80\n6 keyup 80\n' > "$tmp/path.txt"
# 20 rows more than the picture: the status bar strip is cropped off the bottom.
"$build/tools/capture/velmora-capture" --frames 900 --size 320x261 --script "$tmp/path.txt" --out "$tmp/out"
convert "$tmp/out/frame-000900.png" -crop 320x241+0+0 +repage -type TrueColor BMP3:res/about.bmp
echo "res/about.bmp"
