// A tone-shaded model: one loaded GlmModel, its colour ramp texture and its two-pass drawing.
//
// Contract:
// - Life: zero storage -> load -> caller sets flags, shadeCount, lineWidth -> buildRamp once
//   -> draw once per frame. load overwrites flags and shadeCount, so settings go after it.
// - shadeCount must be a power of two from 2 to 128 (a GL 1.1 texture width and the size of the
//   ramp's working buffers); the caller holds it there.
// - buildRamp and draw need a current GL context. draw uses the model-view matrix in place.
// - Triangles must wind clockwise as seen from outside: the shaded pass culls GL_FRONT (the
//   counter-clockwise faces) and the outline pass draws the other faces' edges as lines.
// - The record owns its model; neither the model nor the texture is ever released by the demo.
#pragma once

#include "math/vec3.h"
#include "model/glm.h"

#include <cstdint>

constexpr std::int32_t TOON_RANDOM_SHADES = 1;
constexpr std::int32_t TOON_OUTLINE = 2;
constexpr std::int32_t TOON_SMOOTH_LINES = 4;
constexpr std::int32_t TOON_GRADIENT = 8;

constexpr int toonMaxShades = 128;

// The ramp as a plain function of the settings, texel 0 first, RGB in [0, 1]. Draws
// shadeCount numbers from the program's random generator when TOON_RANDOM_SHADES is set.
void computeToonRamp(std::int32_t flags, int shadeCount, const float* coolColor,
                     const float* warmColor, float texels[][3]);

class ToonModel {
  public:
    std::int32_t flags;
    float lineWidth;
    Vec3 lightDir;
    std::uint32_t rampTexture;
    std::int32_t shadeCount;
    GlmModel* model;

    void load(const char* fileName);
    void buildRamp(const float* coolColor, const float* warmColor);
    void draw();
};
