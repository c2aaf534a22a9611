// The colour ramps of the demo's five models, in the order the scene sets them up: the one table
// the scene and the viewer (which offers them as looks) both read.
//
// Colours are linear RGB from 0 to 1, cool for the darkest shade and warm for the brightest.
// flags hold TOON_GRADIENT or TOON_RANDOM_SHADES only; whoever sets a model up adds the outline.
#pragma once

#include "toon/toon_model.h"

#include <cstdint>

struct ModelRamp {
    const char* name;
    std::int32_t flags;
    std::int32_t shadeCount;
    float cool[3];
    float warm[3];
};

enum ModelRampIndex { spaceshipRamp, deathstarRamp, legoRamp, surfaceRamp, torusRamp };

constexpr int modelRampCount = 5;
// The spaceship's flags and shade count are the ones ToonModel::load gives every model.
inline constexpr ModelRamp modelRamps[modelRampCount] = {
    {"spaceship", TOON_GRADIENT, 4, {0.2f, 0.5f, 1.0f}, {0.0f, 1.0f, 0.0f}},
    {"deathstar", TOON_GRADIENT, 4, {1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f}},
    {"lego", TOON_GRADIENT, 4, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 1.0f}},
    {"surface", TOON_GRADIENT, 4, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}},
    {"torus", TOON_RANDOM_SHADES, 32, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}},
};
