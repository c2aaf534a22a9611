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
// - Nothing here allocates or keeps state.
// - A zero-length vector stays zero under vec3Normalize (never NaN), and vec3AngleDeg clamps the
//   cosine into [-1, 1], so nearly parallel inputs give 0 or 180 rather than NaN.
#pragma once

struct Vec3 {
    float x;
    float y;
    float z;
};

// b when b > a, otherwise a: equal values and a NaN b give a.
float floatMax(float a, float b);
// -x when x < 0, otherwise x: -0 and NaN come back unchanged.
float floatAbs(float x);

float vec3Dot(const Vec3* a, const Vec3* b);
void vec3Cross(const Vec3* a, const Vec3* b, Vec3* out);
void vec3Normalize(Vec3* v);
void vec3Add(const Vec3* a, const Vec3* b, Vec3* out);
void vec3Scale(const Vec3* v, float s, Vec3* out);
// Normalises both arguments in the caller's storage and returns the angle between them in
// degrees, using the six-digit factor 57.2957.
float vec3AngleDeg(Vec3* a, Vec3* b);
// out = upper-left 3 x 3 of m times v; the translation column and bottom row are ignored.
void vec3RotateByMatrix(const Vec3* v, const float* m, Vec3* out);
// Rotation of `angle` degrees about (x, y, z), counter-clockwise looking from the axis tip to
// the origin (glRotatef's convention). The axis is used as given: pass a unit axis.
void axisAngleMatrix(float x, float y, float z, float angle, float* out);
