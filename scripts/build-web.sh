#!/usr/bin/env bash
# Builds the web page into OUT (default build-web/): index.html, velmora.js, velmora.wasm, the
# models under data/ and the About panel's pictures. Needs Debian's emscripten (its JavaScript
# optimiser finds Debian's acorn only through NODE_PATH). Objects are kept in OUT.obj/ and
# rebuilt when their source or a header they include changed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-web}
obj=$out.obj
jobs=${JOBS:-2}
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
command -v em++ > /dev/null || { echo "build-web: em++ not found (make deps installs emscripten)" >&2; exit 1; }

sources=(math/*.cpp model/*.cpp toon/toon_model.cpp toon/toon_load.cpp
    scene/camera.cpp scene/flight_path.cpp scene/frame_timer.cpp scene/scene.cpp
    scene/scene_state.cpp shell/*.cpp ui/gl_window.cpp platform/every_platform.cpp web/*.cpp)
# The reader's number parser is header-only; its folder alone, not all of /usr/include.
mkdir -p "$obj/include"
ln -sfn /usr/include/fast_float "$obj/include/fast_float"
flags=(-std=c++20 -O2 -I. -isystem "$obj/include" -Wall -Wextra -Werror -ffp-contract=off -fexceptions)
mkdir -p "$obj" "$out/data"

# One object per source, two compilers at a time; a .d file lists what each included.
stale=()
for s in "${sources[@]}"; do
    o=$obj/${s//\//_}.o
    if [ ! -f "$o" ] || [ "$s" -nt "$o" ] ||
        { [ -f "$o.d" ] && [ -n "$(find $(sed -e 's/\\$//' -e 's/^[^:]*://' "$o.d") -newer "$o" 2> /dev/null)" ]; }; then
        stale+=("$s")
    fi
done
if [ ${#stale[@]} -gt 0 ]; then
    printf '%s\n' "${stale[@]}" | xargs -P "$jobs" -I{} sh -c \
        'o="$1/$(echo "$2" | tr / _).o"; s=$2; shift 2; echo "em++ $s"; em++ "$@" -MMD -MF "$o.d" -c "$s" -o "$o"' \
        sh "$obj" {} "${flags[@]}" 2>&1 | grep -v '^sh: ' || true
    for s in "${stale[@]}"; do
        [ -f "$obj/${s//\//_}.o" ] && [ "$obj/${s//\//_}.o" -nt "$s" ] || { echo "build-web: $s did not compile" >&2; exit 1; }
    done
fi
objects=()
for s in "${sources[@]}"; do objects+=("$obj/${s//\//_}.o"); done
em++ "${objects[@]}" -o "$out/velmora.js" -O2 -fexceptions \
    -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 \
    -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency -sENVIRONMENT=web
cp web/index.html "$out/"
cp res/about.bmp res/icon.bmp "$out/"
cp data/*.obj data/*.mtl "$out/data/"
echo "build-web: $out/ ($(du -sk "$out" | cut -f1) KiB)"
