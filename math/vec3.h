// Vector and rotation helpers shared by the loader, the tone shader, the scene and the camera.
//
// Contract:
// - Vec3 is three 32-bit floats; it also carries RGB colours (x = red, y = green, z = blue).
// - Operations take their operands by pointer and write results through an output pointer that
//   comes last. An output must not alias an input of vec3Cross (it is written while the inputs
//   are still being read).
// - Matrices are 16 floats in GL column-major order: row i, column j at index 4 * j + i.
// - Angles handed to these helpers are in degrees; pi is taken as 3.14159 where a conversion is
//   coded, so results differ from full-precision trigonometry in the sixth digit on purpose.
// - Nothing here allocates or keeps state. The small helpers are defined here, inline, so the
//   compiler sees them where they are called (the per-corner shading calls them per normal).
// - A zero-length vector stays zero under vec3Normalize (never NaN), and vec3AngleDeg clamps the
//   cosine into [-1, 1], so nearly parallel inputs give 0 or 180 rather than NaN.
#pragma once

#include <cmath>

struct Vec3 {
    float x;
    float y;
    float z;
};

// b when b > a, otherwise a: equal values and a NaN b give a.
inline float floatMax(float a, float b) {
    return b > a ? b : a;
}
// -x when x < 0, otherwise x: -0 and NaN come back unchanged.
inline float floatAbs(float x) {
    return x < 0 ? -x : x;
}

inline float vec3Dot(const Vec3* a, const Vec3* b) {
    return a->z * b->z + a->y * b->y + a->x * b->x;
}
inline void vec3Cross(const Vec3* a, const Vec3* b, Vec3* out) {
    out->x = a->y * b->z - a->z * b->y;
    out->y = a->z * b->x - a->x * b->z;
    out->z = a->x * b->y - a->y * b->x;
}
inline void vec3Normalize(Vec3* v) {
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
inline void vec3Add(const Vec3* a, const Vec3* b, Vec3* out) {
    out->x = a->x + b->x;
    out->y = a->y + b->y;
    out->z = a->z + b->z;
}
inline void vec3Scale(const Vec3* v, float s, Vec3* out) {
    out->x = s * v->x;
    out->y = s * v->y;
    out->z = s * v->z;
}
// Normalises both arguments in the caller's storage and returns the angle between them in
// degrees, using the six-digit factor 57.2957.
float vec3AngleDeg(Vec3* a, Vec3* b);
// out = upper-left 3 x 3 of m times v; the translation column and bottom row are ignored.
inline void vec3RotateByMatrix(const Vec3* v, const float* m, Vec3* out) {
    out->x = m[0] * v->x + m[4] * v->y + m[8] * v->z;
    out->y = m[1] * v->x + m[5] * v->y + m[9] * v->z;
    out->z = m[2] * v->x + m[6] * v->y + m[10] * v->z;
}
// Rotation of `angle` degrees about (x, y, z), counter-clockwise looking from the axis tip to
// the origin (glRotatef's convention). The axis is used as given: pass a unit axis.
void axisAngleMatrix(float x, float y, float z, float angle, float* out);
