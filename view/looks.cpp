#include "view/looks.h"

#include "toon/toon_model.h"

// The numbers are the demo's (scene/scene.cpp, initScene), copied rather than shared so that the
// demo's set-up stays as it is; tests/view checks that the ramps come out texel for texel the
// same. The spaceship has the flags and shade count ToonModel::load gives every model.
const Look looks[lookCount] = {
    {"spaceship", TOON_GRADIENT, 4, {0.2f, 0.5f, 1.0f}, {0.0f, 1.0f, 0.0f}, false},
    {"deathstar", TOON_GRADIENT, 4, {1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, false},
    {"lego", TOON_GRADIENT, 4, {0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 1.0f}, false},
    {"surface", TOON_GRADIENT, 4, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}, false},
    {"torus", TOON_RANDOM_SHADES, 32, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}, true},
    {"random greys", TOON_RANDOM_SHADES, 32, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}, false},
};
