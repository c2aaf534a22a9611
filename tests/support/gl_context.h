// Offscreen GL for the tests: one compatibility context on SDL's offscreen driver (400 x 400,
// 16 depth bits), made on first use and kept until the process ends as the demo keeps its own;
// pixels read back; and the scene set up as the demo sets it up.
#pragma once

#include "platform/platform.h"
#include "scene/scene.h"
#include "scene/scene_state.h"

#include <cstdint>
#include <vector>

constexpr int testSurfaceSize = 400;

// What the tests hand the scene as the shell's flags, and the texts it hands back.
extern SceneInput testInput;
extern SceneTexts testTexts;

// The capture tool's clock: 1e9 ticks per second, starting at 1e12; tests move `now` by hand.
struct VirtualClock {
    std::int64_t now = 1000000000000;
    CounterSource source{[](void*) -> std::int64_t { return 1000000000; },
                         [](void* c) { return static_cast<VirtualClock*>(c)->now; }, this};
};

// The whole scene set up as the demo sets it up, with the model files read from `directory`
// (the working directory is restored after): projection, shell, scene, camera and random
// generator back to their start, then initScene. false when a step fails.
bool setUpSceneFrom(const char* directory);

// Creates the context once per process and makes it current; false (with a message) if the
// offscreen driver or GL is unavailable.
bool ensureGlContext();

struct Rgb {
    int r, g, b;
};

// A block of the colour buffer, 8 bits per channel, bottom row first as glReadPixels gives it.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;
    Rgb at(int x, int y) const {
        std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return Rgb{data[i], data[i + 1], data[i + 2]};
    }
};

// The lower-left width x height pixels of the back buffer.
Pixels readPixels(int width, int height);
// The smallest channel depth of the colour buffer: 8 on llvmpipe, 5 on a 16-bit buffer.
int channelBits();
