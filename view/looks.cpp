#include "view/looks.h"

namespace {
constexpr ModelRamp randomGreys{
    "random greys", TOON_RANDOM_SHADES, 32, {0.2f, 0.2f, 0.2f}, {1.0f, 1.0f, 1.0f}};
} // namespace

const Look looks[lookCount] = {
    {modelRamps[spaceshipRamp], false}, {modelRamps[deathstarRamp], false},
    {modelRamps[legoRamp], false},      {modelRamps[surfaceRamp], false},
    {modelRamps[torusRamp], true},      {randomGreys, false},
};
