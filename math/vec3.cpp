#include "math/vec3.h"

#include <cmath>

float floatMax(float a, float b) {
    return b > a ? b : a;
}

float floatAbs(float x) {
    return x < 0 ? -x : x;
}

float vec3Dot(const Vec3* a, const Vec3* b) {
    return a->z * b->z + a->y * b->y + a->x * b->x;
}

void vec3Cross(const Vec3* a, const Vec3* b, Vec3* out) {
    out->x = a->y * b->z - a->z * b->y;
    out->y = a->z * b->x - a->x * b->z;
    out->z = a->x * b->y - a->y * b->x;
}

void vec3Normalize(Vec3* v) {
    float lengthSquared = v->x * v->x + v->y * v->y + v->z * v->z;
    // A degenerate triangle or a zero direction has no direction to keep; leaving it zero keeps
    // NaN out of every later dot product, texture coordinate and matrix.
    if (!(lengthSquared > 0.0f)) {
        return;
    }
    float k = 1.0f / std::sqrt(lengthSquared);
    v->x = v->x * k;
    v->y = v->y * k;
    v->z = v->z * k;
}

void vec3Add(const Vec3* a, const Vec3* b, Vec3* out) {
    out->x = a->x + b->x;
    out->y = a->y + b->y;
    out->z = a->z + b->z;
}

void vec3Scale(const Vec3* v, float s, Vec3* out) {
    out->x = s * v->x;
    out->y = s * v->y;
    out->z = s * v->z;
}

float vec3AngleDeg(Vec3* a, Vec3* b) {
    vec3Normalize(a);
    vec3Normalize(b);
    float d = vec3Dot(a, b);
    // Rounding can carry the cosine of nearly parallel unit vectors just past 1.
    if (d > 1.0f) {
        d = 1.0f;
    } else if (d < -1.0f) {
        d = -1.0f;
    }
    return static_cast<float>(std::acos(static_cast<double>(d)) * 57.2957);
}

void vec3RotateByMatrix(const Vec3* v, const float* m, Vec3* out) {
    out->x = m[0] * v->x + m[4] * v->y + m[8] * v->z;
    out->y = m[1] * v->x + m[5] * v->y + m[9] * v->z;
    out->z = m[2] * v->x + m[6] * v->y + m[10] * v->z;
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
