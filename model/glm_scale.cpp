// Centring and scaling a model to the unit size the demo draws at.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <cmath>

using namespace glm_detail;

double glmScaleToUnit(GlmModel* model) {
    if (model->vertexCount == 0 || model->vertices == nullptr) {
        return 1.0;
    }
    const Vec3* v = model->vertices;
    float maxx = v[1].x, minx = v[1].x;
    float maxy = v[1].y, miny = v[1].y;
    float maxz = v[1].z, minz = v[1].z;
    // b when b < a, otherwise a, as floatMax the other way: equal values keep the first.
    auto floatMin = [](float a, float b) { return b < a ? b : a; };
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        maxx = floatMax(maxx, v[i].x);
        minx = floatMin(minx, v[i].x);
        maxy = floatMax(maxy, v[i].y);
        miny = floatMin(miny, v[i].y);
        maxz = floatMax(maxz, v[i].z);
        minz = floatMin(minz, v[i].z);
    }
    // The sum in double is the float sum exactly, except that it cannot overflow.
    float cx = static_cast<float>((static_cast<double>(maxx) + minx) * 0.5);
    float cy = static_cast<float>((static_cast<double>(maxy) + miny) * 0.5);
    float cz = static_cast<float>((static_cast<double>(maxz) + minz) * 0.5);
    float w = floatAbs(maxx) + floatAbs(minx);
    float h = floatAbs(maxy) + floatAbs(miny);
    float d = floatAbs(maxz) + floatAbs(minz);
    float largest = floatMax(floatMax(w, h), d);
    double scale;
    if (largest == 0.0f) {
        // Every coordinate is 0 (|max| + |min| is 0 only then): nothing to scale.
        scale = 1.0;
    } else if (std::isinf(largest)) {
        // Coordinates near the float limit: the dimension overflowed a float, not a double.
        double wd = static_cast<double>(floatAbs(maxx)) + floatAbs(minx);
        double hd = static_cast<double>(floatAbs(maxy)) + floatAbs(miny);
        double dd = static_cast<double>(floatAbs(maxz)) + floatAbs(minz);
        double big = wd > hd ? wd : hd;
        big = dd > big ? dd : big;
        scale = 2.0 / big;
    } else {
        scale = 2.0 / largest;
    }
    Vec3* out = model->vertices;
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        float x = out[i].x - cx;
        float y = out[i].y - cy;
        float z = out[i].z - cz;
        out[i].x = static_cast<float>(x * scale);
        out[i].y = static_cast<float>(y * scale);
        out[i].z = static_cast<float>(z * scale);
    }
    return scale;
}
