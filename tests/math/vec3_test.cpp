#include "math/vec3.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

void expectVec(const Vec3& actual, float x, float y, float z, float tolerance = 0.0f) {
    EXPECT_NEAR(actual.x, x, tolerance)
        << "x of (" << actual.x << ", " << actual.y << ", " << actual.z << ")";
    EXPECT_NEAR(actual.y, y, tolerance) << "y";
    EXPECT_NEAR(actual.z, z, tolerance) << "z";
}

TEST(ScalarHelpers, MaxKeepsFirstOnTiesAndNaN) {
    float a = 2.0f;
    float b = 2.0f;
    EXPECT_EQ(floatMax(1, 3), 3);
    // Equal values return the first argument: +0 vs -0 shows which one came back.
    EXPECT_FALSE(std::signbit(floatMax(0.0f, -0.0f)));
    EXPECT_TRUE(std::signbit(floatMax(-0.0f, 0.0f)));
    EXPECT_EQ(floatMax(a, b), 2.0f);
    EXPECT_EQ(floatMax(5.0f, NAN), 5.0f);
    EXPECT_TRUE(std::isnan(floatMax(NAN, 5.0f)));
}

TEST(ScalarHelpers, AbsLeavesNegativeZeroAndNaN) {
    EXPECT_EQ(floatAbs(-3.5f), 3.5f);
    EXPECT_EQ(floatAbs(2.0f), 2.0f);
    EXPECT_TRUE(std::signbit(floatAbs(-0.0f)));
    EXPECT_TRUE(std::isnan(floatAbs(NAN)));
}

TEST(VectorHelpers, CrossDotAddScale) {
    Vec3 x{1, 0, 0}, y{0, 1, 0}, out{};
    vec3Cross(&x, &y, &out);
    expectVec(out, 0, 0, 1);
    vec3Cross(&y, &x, &out);
    expectVec(out, 0, 0, -1);
    Vec3 a{1, 2, 3}, b{4, -5, 6};
    EXPECT_EQ(vec3Dot(&a, &b), 12.0f);
    vec3Add(&a, &b, &out);
    expectVec(out, 5, -3, 9);
    vec3Scale(&a, -2.0f, &out);
    expectVec(out, -2, -4, -6);
}

TEST(VectorHelpers, NormalizeUnitAndZero) {
    Vec3 v{3, 0, 4};
    vec3Normalize(&v);
    expectVec(v, 0.6f, 0, 0.8f, 1e-7f);
    // A zero vector has no direction: it stays zero instead of becoming NaN.
    Vec3 zero{0, 0, 0};
    vec3Normalize(&zero);
    expectVec(zero, 0, 0, 0);
    Vec3 tiny{1e-30f, 0, 0}; // its square underflows to zero
    vec3Normalize(&tiny);
    EXPECT_FALSE(std::isnan(tiny.x));
}

TEST(VectorHelpers, AngleUsesSixDigitFactorAndNormalisesInPlace) {
    Vec3 a{2, 0, 0}, b{0, 0, 5};
    float angle = vec3AngleDeg(&a, &b);
    EXPECT_FLOAT_EQ(angle, static_cast<float>(std::acos(0.0) * 57.2957));
    EXPECT_NEAR(angle, 89.99988f, 1e-4f);
    expectVec(a, 1, 0, 0);
    expectVec(b, 0, 0, 1);
}

TEST(VectorHelpers, AngleOfNearlyParallelVectorsIsFinite) {
    // These normalise to unit vectors whose float dot product rounds above 1.
    Vec3 a{0.57735027f, 0.57735027f, 0.57735027f};
    Vec3 b = a;
    float angle = vec3AngleDeg(&a, &b);
    EXPECT_FALSE(std::isnan(angle));
    EXPECT_NEAR(angle, 0.0f, 0.05f);
    Vec3 c{1, 1, 1}, d{-1, -1, -1};
    angle = vec3AngleDeg(&c, &d);
    EXPECT_FALSE(std::isnan(angle));
    EXPECT_NEAR(angle, 180.0f, 0.05f);
    Vec3 zero{0, 0, 0}, e{0, 1, 0};
    EXPECT_FALSE(std::isnan(vec3AngleDeg(&zero, &e)));
}

TEST(RotationHelpers, RotateByMatrixIgnoresTranslation) {
    float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1};
    Vec3 v{1, 2, 3}, out{};
    vec3RotateByMatrix(&v, translate, &out);
    expectVec(out, 1, 2, 3);
    float columns[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 1};
    vec3RotateByMatrix(&v, columns, &out);
    expectVec(out, 1 + 8 + 21, 2 + 10 + 24, 3 + 12 + 27);
}

TEST(RotationHelpers, AxisAngleMatrixCases) {
    float m[16];
    axisAngleMatrix(0, 0, 1, 0, m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "index " << i;
    }
    axisAngleMatrix(0, 0, 1, 90, m);
    EXPECT_NEAR(m[0], 0, 2e-6);
    EXPECT_NEAR(m[1], 1, 2e-6);
    EXPECT_NEAR(m[4], -1, 2e-6);
    EXPECT_NEAR(m[5], 0, 2e-6);
    EXPECT_NEAR(m[10], 1, 2e-6);
    // Pi taken as 3.14159 leaves a visible residue at 180 degrees.
    axisAngleMatrix(0, 1, 0, 180, m);
    EXPECT_NEAR(m[0], -1, 1e-11);
    EXPECT_NEAR(m[10], -1, 1e-11);
    EXPECT_NEAR(m[2], -2.65e-6, 0.1e-6);
    EXPECT_NEAR(m[8], 2.65e-6, 0.1e-6);
    EXPECT_EQ(m[15], 1.0f);
    EXPECT_EQ(m[3], 0.0f);
    EXPECT_EQ(m[12], 0.0f);
}

} // namespace
