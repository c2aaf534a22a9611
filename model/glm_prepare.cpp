// The one preparation every program gives a model it draws or reports on.
#include "model/glm.h"

double glmPrepare(GlmModel* model, const std::function<void(GlmModel*)>& turn) {
    const double scale = glmScaleToUnit(model);
    glmFacetNormals(model);
    glmVertexNormals(model, 90.0f);
    if (turn) {
        turn(model);
    }
    for (std::uint32_t i = 1; i <= model->normalCount; ++i) {
        vec3Normalize(&model->normals[i]);
    }
    return scale;
}
