// The five demo models, each a pure function of its constants.
#pragma once

#include "tools/modelgen/mesh.h"

Mesh buildSpaceship();
Mesh buildDeathstar();
Mesh buildLego();
Mesh buildSurface();
Mesh buildTorus();
