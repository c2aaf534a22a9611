#include "toon/toon_model.h"

#include "math/random.h"

#include <gtest/gtest.h>

namespace {

const float cool[3] = {0.2f, 0.5f, 1.0f};
const float warm[3] = {0.0f, 1.0f, 0.0f};

void expectTexel(const float texel[3], double r, double g, double b, double tolerance) {
    EXPECT_NEAR(texel[0], r, tolerance);
    EXPECT_NEAR(texel[1], g, tolerance);
    EXPECT_NEAR(texel[2], b, tolerance);
}

} // namespace

TEST(ToonRamp, GradientOfFourShadesRunsFromTheMeanToTheWarmColour) {
    float texels[4][3];
    computeToonRamp(TOON_GRADIENT | TOON_OUTLINE, 4, cool, warm, texels);
    expectTexel(texels[0], 0.1, 0.75, 0.5, 1e-6);
    expectTexel(texels[1], 0.0667, 0.8333, 0.3333, 5e-5);
    expectTexel(texels[2], 0.0333, 0.9167, 0.1667, 5e-5);
    // m is exactly 1 at the last texel, so the warm colour comes through unchanged.
    EXPECT_EQ(texels[3][0], 0.0f);
    EXPECT_EQ(texels[3][1], 1.0f);
    EXPECT_EQ(texels[3][2], 0.0f);
}

TEST(ToonRamp, WithoutGradientOrRandomShadesTheRampIsWhite) {
    resetRandom();
    float texels[8][3];
    computeToonRamp(TOON_OUTLINE | TOON_SMOOTH_LINES, 8, cool, warm, texels);
    for (int k = 0; k < 8; ++k) {
        expectTexel(texels[k], 1, 1, 1, 0);
    }
    // No random number is drawn without TOON_RANDOM_SHADES.
    EXPECT_EQ(nextRandom(), 41);
}

TEST(ToonRamp, TorusGreysFromAFreshGenerator) {
    resetRandom();
    std::vector<int> draws;
    for (int i = 0; i < 33; ++i) {
        draws.push_back(nextRandom());
    }
    resetRandom();
    float texels[32][3];
    const float grey[3] = {0.2f, 0.2f, 0.2f};
    const float white[3] = {1.0f, 1.0f, 1.0f};
    computeToonRamp(TOON_RANDOM_SHADES | TOON_OUTLINE, 32, grey, white, texels);
    // Exactly 32 numbers were taken: the star field that comes next sees the 33rd.
    EXPECT_EQ(nextRandom(), draws[32]);

    // 41, 18467, 6334, 26500 give 0.41, 0.67, 0.34, 0.00; worked by hand with exact weights.
    expectTexel(texels[0], 0.453333, 0.453333, 0.453333, 1e-6);
    expectTexel(texels[1], 0.591905, 0.591905, 0.591905, 1e-6);
    expectTexel(texels[2], 0.327415, 0.327415, 0.327415, 1e-6);

    // The rest against the rules in double precision with exact 5/6, 1/6, 5/7 and 1/7; the
    // single-precision steps stay within 1e-6 of it.
    std::vector<double> v;
    for (int i = 0; i < 32; ++i) {
        v.push_back((draws[i] % 100) * 0.01);
    }
    std::vector<double> s(32);
    s[0] = v[0] * 5 / 6 + v[1] / 6;
    for (int i = 1; i < 31; ++i) {
        s[i] = (v[i] * 5 + s[i - 1] + v[i + 1]) / 7;
    }
    s[31] = s[30] / 6 + v[31] * 5 / 6;
    for (int i = 0; i < 32; ++i) {
        SCOPED_TRACE(i);
        expectTexel(texels[i], s[i], s[i], s[i], 1e-6);
    }
}

TEST(ToonRamp, RandomShadesDarkenTheGradientTexelByTexel) {
    resetRandom();
    float gradient[4][3];
    computeToonRamp(TOON_GRADIENT, 4, cool, warm, gradient);
    float both[4][3];
    computeToonRamp(TOON_GRADIENT | TOON_RANDOM_SHADES, 4, cool, warm, both);
    resetRandom();
    float greys[4][3];
    computeToonRamp(TOON_RANDOM_SHADES, 4, cool, warm, greys);
    for (int k = 0; k < 4; ++k) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(both[k][c], gradient[k][c] * greys[k][0]);
        }
    }
}

TEST(ToonRamp, TwoShadesSmoothFromTheAlreadySmoothedFirst) {
    float shades[2] = {0.3f, 0.9f};
    smoothToonShades(shades, 2);
    // 5/6 * 0.3 + 1/6 * 0.9 = 0.4; then 1/6 * 0.4 + 5/6 * 0.9.
    EXPECT_NEAR(shades[0], 0.4, 1e-6);
    EXPECT_NEAR(shades[1], 0.4 / 6 + 0.9 * 5 / 6, 1e-6);
}

TEST(ToonRamp, ClampingFollowsTheWholeSmoothingPass) {
    // The inner entry sees its left neighbour smoothed but not yet clamped (4/3, not 1).
    float shades[3] = {1.6f, 0.0f, 0.5f};
    smoothToonShades(shades, 3);
    EXPECT_EQ(shades[0], 1.0f);
    EXPECT_NEAR(shades[1], (1.6 * 5 / 6 + 0.5) / 7, 1e-6);
    EXPECT_NEAR(shades[2], shades[1] / 6 + 0.5 * 5 / 6, 1e-6);

    float negative[2] = {-0.6f, 0.0f};
    smoothToonShades(negative, 2);
    EXPECT_EQ(negative[0], 0.0f);
    EXPECT_EQ(negative[1], 0.0f);
}

TEST(ToonRamp, LargestRampStaysInRange) {
    resetRandom();
    float texels[toonMaxShades][3];
    computeToonRamp(TOON_RANDOM_SHADES | TOON_GRADIENT, toonMaxShades, cool, warm, texels);
    for (int k = 0; k < toonMaxShades; ++k) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(texels[k][c], 0.0f);
            EXPECT_LE(texels[k][c], 1.0f);
        }
    }
}
