// The vector, rotation and random helpers against the contracts in math/vec3.h and random.h.
#include "math/random.h"
#include "math/vec3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Floats = std::vector<float>;
const auto values = [](const Vec3& v) { return Floats{v.x, v.y, v.z}; };

TEST(Math, ScalarAndVectorHelpers) {
    // a, b, floatMax(a, b), floatAbs(a), compared bitwise so that +0 and -0 tell which came back.
    const float cases[][4] = {
        {1, 3, 3, 1},   {-3.5f, 1, 1, 3.5f}, {0.0f, -0.0f, 0.0f, 0.0f}, {-0.0f, 0.0f, -0.0f, -0.0f},
        {5, NAN, 5, 5}, {NAN, 5, NAN, NAN}};
    auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (const auto& [a, b, max, abs] : cases) {
        EXPECT_TRUE(same(floatMax(a, b), max) && same(floatAbs(a), abs)) << a << ", " << b;
    }
    Vec3 a{1, 2, 3}, b{4, -5, 6}, cross{}, sum{}, scaled{}, unit{3, 0, -4}, zero{0, 0, 0},
        tiny{1e-30f, 0, 0};
    vec3Cross(&a, &b, &cross);
    vec3Add(&a, &b, &sum);
    vec3Scale(&a, -2.0f, &scaled);
    // No direction to keep: zero stays zero, also when the square underflows.
    for (Vec3* v : {&unit, &zero, &tiny}) {
        vec3Normalize(v);
    }
    EXPECT_EQ(vec3Dot(&a, &b), 12.0f);
    EXPECT_EQ(
        (std::vector{values(cross), values(sum), values(scaled), values(unit), values(zero)}),
        (std::vector<Floats>{{27, 6, -13}, {5, -3, 9}, {-2, -4, -6}, {0.6f, 0, -0.8f}, {0, 0, 0}}));
    EXPECT_FALSE(std::isnan(tiny.x));
    // vec3AngleDeg normalises its arguments in place and clamps the cosine: u and one normalise
    // to unit vectors whose float dot product rounds past +-1.
    const float k = 0.57735027f;
    Vec3 x{2, 0, 0}, z{0, 0, 5}, u{k, k, k}, w = u, one{1, 1, 1}, minus{-1, -1, -1};
    EXPECT_FLOAT_EQ(vec3AngleDeg(&x, &z), static_cast<float>(std::acos(0.0) * 57.2957));
    EXPECT_EQ((std::vector{values(x), values(z)}), (std::vector<Floats>{{1, 0, 0}, {0, 0, 1}}));
    EXPECT_EQ(vec3AngleDeg(&u, &w), 0.0f);
    EXPECT_NEAR(vec3AngleDeg(&one, &minus), 180.0f, 0.05f);
    EXPECT_FALSE(std::isnan(vec3AngleDeg(&zero, &z)));
}

TEST(Math, Rotations) {
    // Axis, angle, tolerance, matrix: counter-clockwise from the tip, pi taken as 3.14159.
    const float cases[][21] = {
        {0, 0, 1, 90, 2e-6f, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
        {0, 1, 0, 180, 1e-7f, -1, 0, -2.65e-6f, 0, 0, 1, 0, 0, 2.65e-6f, 0, -1, 0, 0, 0, 0, 1}};
    for (const float* c : cases) {
        float r[16];
        std::fill(r, r + 16, 7.0f); // every entry written, none left from before
        axisAngleMatrix(c[0], c[1], c[2], c[3], r);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(r[i], c[5 + i], c[4]) << "entry " << i << " at " << c[3] << " degrees";
        }
    }
    // Columns, the translation ignored.
    const float m[16] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 70, 80, 90, 1};
    Vec3 v{1, 2, 3}, out{};
    vec3RotateByMatrix(&v, m, &out);
    EXPECT_EQ(values(out), (Floats{30, 36, 42}));
}

TEST(Math, RandomSequenceFromStateOneInRange) {
    resetRandom();
    EXPECT_EQ((std::vector{nextRandom(), nextRandom(), nextRandom(), nextRandom()}),
              (std::vector{41, 18467, 6334, 26500}));
    for (int i = 0; i < 100000; ++i) {
        ASSERT_LE(static_cast<unsigned>(nextRandom()), 32767u) << "at draw " << i;
    }
    resetRandom();
    EXPECT_EQ(nextRandom(), 41);
}

} // namespace
