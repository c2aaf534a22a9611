// Kept apart from the drawing so that code which only shades hand-built models does not pull
// in the reader.
#include "toon/toon_model.h"

void ToonModel::load(const char* fileName) {
    model = glmReadOBJ(fileName);
    glmPrepare(model);
    lightDir = Vec3{5.0f, -5.0f, -5.0f};
    vec3Normalize(&lightDir);
    flags = TOON_OUTLINE | TOON_GRADIENT;
    shadeCount = 4;
}
