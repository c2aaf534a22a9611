#include "math/vec3.h"

#include <algorithm>
#include <cmath>

float vec3AngleDeg(Vec3* a, Vec3* b) {
    vec3Normalize(a);
    vec3Normalize(b);
    // Rounding can carry the cosine of nearly parallel unit vectors just past 1.
    float d = std::clamp(vec3Dot(a, b), -1.0f, 1.0f);
    return static_cast<float>(std::acos(static_cast<double>(d)) * 57.2957);
}

void axisAngleMatrix(float x, float y, float z, float angle, float* out) {
    const float degreesToTurns = 0.0055555557f;
    double h = angle * degreesToTurns * 3.14159 * 0.5;
    double s = std::sin(h);
    double w = std::cos(h);
    double qx = x * s;
    double qy = y * s;
    double qz = z * s;

    out[0] = static_cast<float>(1 - 2 * (qy * qy + qz * qz));
    out[1] = static_cast<float>(2 * (qx * qy + qz * w));
    out[2] = static_cast<float>(2 * (qx * qz - qy * w));
    out[3] = 0;
    out[4] = static_cast<float>(2 * (qx * qy - qz * w));
    out[5] = static_cast<float>(1 - 2 * (qx * qx + qz * qz));
    out[6] = static_cast<float>(2 * (qy * qz + qx * w));
    out[7] = 0;
    out[8] = static_cast<float>(2 * (qx * qz + qy * w));
    out[9] = static_cast<float>(2 * (qy * qz - qx * w));
    out[10] = static_cast<float>(1 - 2 * (qx * qx + qy * qy));
    out[11] = 0;
    out[12] = 0;
    out[13] = 0;
    out[14] = 0;
    out[15] = 1;
}
