#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tools need, only those missing.
# Runs as root on a fresh Debian machine (CI and developers alike); elsewhere it only says
# which packages are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format
    libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri
    libimgui-dev libstb-dev nlohmann-json3-dev libcli11-dev
    libgtest-dev libgmock-dev libbenchmark-dev libtinyobjloader-dev libfast-float-dev
    clang libclang-rt-14-dev xvfb xauth xdotool
    emscripten node-acorn chromium nodejs
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
# The browser tests fetch puppeteer-core with npm: some Node.js builds bring it, Debian's does not
# (and its npm package conflicts with those that do), so it is asked for only when missing.
command -v npm > /dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]} (run as root, or install them)" >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
