// The GL and GLU calls that take floating-point arguments are wrapped at link time: each call
// has its non-finite arguments counted (the first such call kept as text) and goes on to the GL
// unchanged. While recording, texture coordinates and vertices are kept.
#pragma once

#include "math/vec3.h"

#include <cstdint>
#include <string>
#include <vector>

struct GlGuard {
    std::int64_t calls = 0;
    std::int64_t nonFinite = 0;
    std::string firstNonFinite; // "glVertex3fv(nan, 0, 1)"
    bool recording = false;
    std::vector<float> texCoords;
    std::vector<Vec3> vertices;

    void reset() { *this = GlGuard{}; }
};

extern GlGuard glGuard;
