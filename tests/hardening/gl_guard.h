// Every number the scene, the camera and the tone shader hand to the GL, checked on the way.
//
// The test program is linked with --wrap for the GL and GLU calls that take floating-point
// arguments, so each call from the libraries under test first comes here: a non-finite argument
// is counted (with the first call that had one) and the call then goes on to the GL unchanged.
// Texture coordinates and vertices are also kept while recording is on.
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
