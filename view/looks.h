// The ramps T cycles through: the demo's five model ramps (scene/ramps.h), then smoothed random
// greys drawn anew each time.
#pragma once

#include "scene/ramps.h"

// The viewer adds the outline to flags.
struct Look : ModelRamp {
    // Draws its greys from a fresh random generator, as the demo's torus does before the stars.
    bool freshGenerator;
};

constexpr int lookCount = modelRampCount + 1;
extern const Look looks[lookCount];
