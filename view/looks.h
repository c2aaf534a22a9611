// The ramps T cycles through: the demo's five model ramps, as scene/scene.cpp sets them up,
// then smoothed random greys drawn anew each time.
#pragma once

#include <cstdint>

struct Look {
    const char* name;
    std::int32_t flags; // TOON_GRADIENT and TOON_RANDOM_SHADES; the viewer adds the outline
    std::int32_t shadeCount;
    float cool[3];
    float warm[3];
    // Draws its greys from a fresh random generator, as the demo's torus does before the stars.
    bool freshGenerator;
};

constexpr int lookCount = 6;
extern const Look looks[lookCount];
