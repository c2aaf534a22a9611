#include "toon/toon_model.h"

#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include "handmade_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

constexpr int size = 96;
const float background[3] = {0.3f, 0.3f, 0.3f};

// Four shades far apart in every channel pair, none black and none the background.
const float rampCool[3] = {1.0f, 0.0f, 0.0f};
const float rampWarm[3] = {0.0f, 0.0f, 1.0f};

class ToonDraw : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ready = ensureGlContext(); }
    static inline bool ready = false;

    void SetUp() override {
        ASSERT_TRUE(ready);
        glViewport(0, 0, size, size);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.25, 1.25, -1.25, 1.25, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(background[0], background[1], background[2], 0.0f);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // A record in the state load leaves it, around a hand-built model.
    ToonModel makeToon(GlmModel* model, std::int32_t flags, float lineWidth) {
        ToonModel toon{};
        toon.model = model;
        toon.lightDir = Vec3{5.0f, -5.0f, -5.0f};
        vec3Normalize(&toon.lightDir);
        toon.flags = flags;
        toon.shadeCount = 4;
        toon.lineWidth = lineWidth;
        return toon;
    }

    void clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
};

// A framebuffer channel of b bits holds multiples of 1/(2^b - 1): the stored colour is off by
// at most half a step, and the texture, kept at 8 bits per channel at least, by at most half of
// 1/255. Reading back as 8-bit bytes adds at most half a byte. In bytes that is 0.5 * 255 /
// (2^b - 1) + 0.5 + 0.5: exactly 1.5 on an 8-8-8 buffer, 5.1 on a 5-bit one. The ramp colours
// below lie 42 bytes or more apart, so one pixel can never match two of them.
double tolerance() {
    int bits = channelBits();
    return 0.5 * 255.0 / ((1 << bits) - 1) + 1.0;
}

bool near(const Rgb& p, const float* c, double tol) {
    return std::fabs(p.r - c[0] * 255.0) <= tol && std::fabs(p.g - c[1] * 255.0) <= tol &&
           std::fabs(p.b - c[2] * 255.0) <= tol;
}

bool isBlack(const Rgb& p, double tol) {
    const float black[3] = {0, 0, 0};
    return near(p, black, tol);
}

std::string describe(const Rgb& p, int x, int y) {
    std::ostringstream out;
    out << "pixel (" << x << ", " << y << ") = (" << p.r << ", " << p.g << ", " << p.b << ")";
    return out.str();
}

struct StateSnapshot {
    GLboolean depthTest;
    GLint depthFunc;
    GLboolean depthMask;
    GLfloat depthClear;
    GLboolean blend;
    GLint blendSrc;
    GLint blendDst;
    GLfloat lineWidth;
    GLint polygonMode[2];

    static StateSnapshot read() {
        StateSnapshot s{};
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
        glGetFloatv(GL_DEPTH_CLEAR_VALUE, &s.depthClear);
        s.blend = glIsEnabled(GL_BLEND);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
        glGetIntegerv(GL_BLEND_DST, &s.blendDst);
        glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
        glGetIntegerv(GL_POLYGON_MODE, s.polygonMode);
        return s;
    }
};

TEST_F(ToonDraw, BuildRampSetsTheSceneStateAndANearestFilteredRampTexture) {
    // Start from the opposite of everything buildRamp sets.
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
    glClearDepth(0.5);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthFunc(GL_ALWAYS);
    glShadeModel(GL_FLAT);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_LIGHTING);

    HandmadeModel sphere;
    buildSphere(sphere, 8, 4, 1.0f);
    ToonModel toon = makeToon(sphere.finish(), TOON_GRADIENT | TOON_OUTLINE, 1.0f);
    toon.shadeCount = 8;
    toon.buildRamp(rampCool, rampWarm);

    GLint value = 0;
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    GLfloat depthClear = 0;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
    EXPECT_EQ(depthClear, 1.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    ASSERT_NE(toon.rampTexture, 0u);
    glGetIntegerv(GL_TEXTURE_BINDING_1D, &value);
    EXPECT_EQ(static_cast<std::uint32_t>(value), toon.rampTexture);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetTexLevelParameteriv(GL_TEXTURE_1D, 0, GL_TEXTURE_WIDTH, &value);
    EXPECT_EQ(value, 8);

    float expected[8][3];
    computeToonRamp(toon.flags, 8, rampCool, rampWarm, expected);
    float stored[8][3];
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, stored);
    for (int k = 0; k < 8; ++k) {
        for (int c = 0; c < 3; ++c) {
            // The driver may keep the texture at 8 bits per channel.
            EXPECT_NEAR(stored[k][c], expected[k][c], 0.5 / 255 + 1e-6) << "texel " << k;
        }
    }
}

TEST_F(ToonDraw, HandmadeSphereIsClosedAndWoundClockwise) {
    HandmadeModel sphere;
    buildSphere(sphere, 24, 12, 1.0f);
    EXPECT_EQ(glmWinding(sphere.finish()), GlmWinding::Clockwise);
}

TEST_F(ToonDraw, ShadedPixelsAreRampTexelsAndTheSilhouetteIsBlack) {
    HandmadeModel sphere;
    buildSphere(sphere, 48, 24, 1.0f);
    ToonModel toon = makeToon(sphere.finish(), TOON_OUTLINE | TOON_GRADIENT, 3.0f);
    // Light from the upper left front, so the visible half spans every shade.
    toon.lightDir = Vec3{-1.0f, 1.0f, 1.0f};
    vec3Normalize(&toon.lightDir);
    toon.buildRamp(rampCool, rampWarm);
    float texels[4][3];
    computeToonRamp(toon.flags, 4, rampCool, rampWarm, texels);

    clear();
    glRotatef(20.0f, 1.0f, 1.0f, 0.0f);
    toon.draw();
    Pixels pixels = readPixels(size, size);
    double tol = tolerance();

    int seen[4] = {0, 0, 0, 0};
    int black = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb p = pixels.at(x, y);
            if (near(p, background, tol)) {
                continue;
            }
            if (isBlack(p, tol)) {
                ++black;
                continue;
            }
            int matches = 0;
            for (int k = 0; k < 4; ++k) {
                if (near(p, texels[k], tol)) {
                    ++matches;
                    ++seen[k];
                }
            }
            ASSERT_EQ(matches, 1) << describe(p, x, y) << ", tolerance " << tol;
        }
    }
    for (int k = 0; k < 4; ++k) {
        EXPECT_GT(seen[k], 0) << "texel " << k << " never drawn";
    }
    EXPECT_GT(black, 0);

    // Along every row and column that meets the sphere, the outermost drawn pixels are outline.
    for (int y = 0; y < size; ++y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < size; ++x) {
            if (!near(pixels.at(x, y), background, tol)) {
                if (first < 0) {
                    first = x;
                }
                last = x;
            }
        }
        if (first >= 0) {
            Rgb a = pixels.at(first, y);
            Rgb b = pixels.at(last, y);
            EXPECT_TRUE(isBlack(a, tol)) << describe(a, first, y);
            EXPECT_TRUE(isBlack(b, tol)) << describe(b, last, y);
        }
    }
    for (int x = 0; x < size; ++x) {
        int first = -1;
        int last = -1;
        for (int y = 0; y < size; ++y) {
            if (!near(pixels.at(x, y), background, tol)) {
                if (first < 0) {
                    first = y;
                }
                last = y;
            }
        }
        if (first >= 0) {
            Rgb a = pixels.at(x, first);
            Rgb b = pixels.at(x, last);
            EXPECT_TRUE(isBlack(a, tol)) << describe(a, x, first);
            EXPECT_TRUE(isBlack(b, tol)) << describe(b, x, last);
        }
    }
}

TEST_F(ToonDraw, WithoutOutlineNoBlackPixelAndNoDepthBlendLineOrPolygonStateChanged) {
    HandmadeModel sphere;
    buildSphere(sphere, 32, 16, 1.0f);
    ToonModel toon = makeToon(sphere.finish(), TOON_GRADIENT, 7.0f);
    toon.buildRamp(rampCool, rampWarm);

    // Unusual values everywhere draw must leave alone; none of them changes what the shaded
    // pass puts on screen (front faces are culled, so their polygon mode never shows).
    glDepthFunc(GL_LEQUAL);
    glClearDepth(0.75);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glLineWidth(2.5f);
    glPolygonMode(GL_FRONT, GL_POINT);
    glPolygonMode(GL_BACK, GL_FILL);
    glClearDepth(1.0);
    clear();
    glClearDepth(0.75);
    StateSnapshot before = StateSnapshot::read();

    toon.draw();

    StateSnapshot after = StateSnapshot::read();
    EXPECT_EQ(after.depthTest, before.depthTest);
    EXPECT_EQ(after.depthFunc, before.depthFunc);
    EXPECT_EQ(after.depthMask, before.depthMask);
    EXPECT_EQ(after.depthClear, before.depthClear);
    EXPECT_EQ(after.blend, before.blend);
    EXPECT_EQ(after.blendSrc, before.blendSrc);
    EXPECT_EQ(after.blendDst, before.blendDst);
    EXPECT_EQ(after.lineWidth, before.lineWidth);
    EXPECT_EQ(after.polygonMode[0], before.polygonMode[0]);
    EXPECT_EQ(after.polygonMode[1], before.polygonMode[1]);

    // What draw does set without an outline.
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_FRONT);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound);
    EXPECT_EQ(static_cast<std::uint32_t>(bound), toon.rampTexture);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);

    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
    glLineWidth(1.0f);
    glClearDepth(1.0);

    Pixels pixels = readPixels(size, size);
    double tol = tolerance();
    int drawn = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb p = pixels.at(x, y);
            ASSERT_FALSE(isBlack(p, tol)) << describe(p, x, y);
            if (!near(p, background, tol)) {
                ++drawn;
            }
        }
    }
    EXPECT_GT(drawn, size * size / 3);
}

TEST_F(ToonDraw, WithOutlineTheStateAfterDrawIsTheDocumentedOne) {
    HandmadeModel sphere;
    buildSphere(sphere, 16, 8, 1.0f);
    ToonModel toon = makeToon(sphere.finish(), TOON_OUTLINE | TOON_GRADIENT, 3.0f);
    toon.buildRamp(rampCool, rampWarm);
    glPolygonMode(GL_BACK, GL_FILL);
    clear();
    toon.draw();

    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LESS);
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_FRONT);
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_TEXTURE_BINDING_1D, &value);
    EXPECT_EQ(static_cast<std::uint32_t>(value), toon.rampTexture);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 0.0f);
    EXPECT_EQ(colour[3], 1.0f);

    toon.flags |= TOON_SMOOTH_LINES;
    toon.draw();
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    toon.flags &= ~TOON_SMOOTH_LINES;
    toon.draw();
    EXPECT_FALSE(glIsEnabled(GL_LINE_SMOOTH));
}

TEST_F(ToonDraw, ZeroLineWidthKeepsTheWidthOfTheOutlineDrawnBefore) {
    HandmadeModel sphere;
    buildSphere(sphere, 16, 8, 1.0f);
    ToonModel lego = makeToon(sphere.finish(), TOON_OUTLINE | TOON_GRADIENT, 4.0f);
    lego.buildRamp(rampCool, rampWarm);
    ToonModel torus = makeToon(sphere.finish(), TOON_OUTLINE | TOON_RANDOM_SHADES, 0.0f);
    torus.buildRamp(rampCool, rampWarm);
    clear();
    lego.draw();
    torus.draw();
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 4.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
}

// One triangle facing the viewer (clockwise on screen), its three corners sharing `normal`.
struct FacingTriangle {
    HandmadeModel mesh;
    explicit FacingTriangle(Vec3 normal, bool validNormalIndex = true) {
        std::uint32_t a = mesh.addVertex(Vec3{-1.0f, 1.0f, 0.0f});
        std::uint32_t b = mesh.addVertex(Vec3{1.0f, -1.0f, 0.0f});
        std::uint32_t c = mesh.addVertex(Vec3{-1.0f, -1.0f, 0.0f});
        std::uint32_t n = mesh.addNormal(normal);
        if (!validNormalIndex) {
            n = 7;
        }
        mesh.addTriangle(a, b, c, n, n, n);
        mesh.finish();
    }
};

class ToonCorner : public ToonDraw {
  protected:
    // The colour drawn for a lone corner normal, as the index of the ramp texel it matches.
    int texelFor(Vec3 normal, Vec3 light, bool validNormalIndex = true) {
        FacingTriangle triangle(normal, validNormalIndex);
        ToonModel toon = makeToon(&triangle.mesh.model, TOON_GRADIENT, 1.0f);
        toon.lightDir = light;
        toon.buildRamp(rampCool, rampWarm);
        float texels[4][3];
        computeToonRamp(toon.flags, 4, rampCool, rampWarm, texels);
        clear();
        toon.draw();
        Pixels pixels = readPixels(size, size);
        Rgb p = pixels.at(size / 4, size / 4);
        for (int k = 0; k < 4; ++k) {
            if (near(p, texels[k], tolerance())) {
                return k;
            }
        }
        ADD_FAILURE() << describe(p, size / 4, size / 4) << " is no texel";
        return -1;
    }
};

TEST_F(ToonCorner, CoordinateOfExactlyOneWrapsToTexelZero) {
    EXPECT_EQ(texelFor(Vec3{0, 0, 1}, Vec3{0, 0, 1}), 0);
}

TEST_F(ToonCorner, CoordinateJustBelowOneSelectsTheLastTexel) {
    // cos 8 degrees = 0.990
    Vec3 tilted{0.0f, std::sin(0.14f), std::cos(0.14f)};
    EXPECT_EQ(texelFor(tilted, Vec3{0, 0, 1}), 3);
}

TEST_F(ToonCorner, NormalFacingAwayFromTheLightSelectsTexelZero) {
    EXPECT_EQ(texelFor(Vec3{0, 0, 1}, Vec3{0, 0.6f, -0.8f}), 0);
}

TEST_F(ToonCorner, ZeroLengthNormalSelectsTexelZeroNotNaN) {
    EXPECT_EQ(texelFor(Vec3{0, 0, 0}, Vec3{0, 0, 1}), 0);
    // The rasteriser may well map a NaN coordinate to texel 0 too; the coordinate itself, still
    // current after the last corner, tells them apart.
    GLfloat coords[4];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coords);
    EXPECT_EQ(coords[0], 0.0f);
}

TEST_F(ToonCorner, NormalIndexOutsideTheModelSelectsTexelZero) {
    EXPECT_EQ(texelFor(Vec3{0, 0, 1}, Vec3{0, 0, 1}, false), 0);
}

TEST_F(ToonCorner, EyeSpaceNormalIsTurnedByTheModelViewMatrix) {
    FacingTriangle triangle(Vec3{0, 0, 1});
    ToonModel toon = makeToon(&triangle.mesh.model, TOON_GRADIENT, 1.0f);
    toon.lightDir = Vec3{1.0f, 0.0f, 0.0f};
    toon.buildRamp(rampCool, rampWarm);
    // The third column sends +z to (0.7, 0, 0.714): the normal turns 0.7 towards the light
    // while the triangle, lying at z = 0, stays where it was on screen.
    const float turn[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0.7f, 0, 0.71414284f, 0, 0, 0, 0, 1};
    glLoadMatrixf(turn);
    clear();
    toon.draw();
    float texels[4][3];
    computeToonRamp(toon.flags, 4, rampCool, rampWarm, texels);
    Pixels pixels = readPixels(size, size);
    // cos = 0.7 gives texel floor(0.7 * 4) = 2.
    Rgb p = pixels.at(size / 4, size / 4);
    EXPECT_TRUE(near(p, texels[2], tolerance())) << describe(p, size / 4, size / 4);
}

} // namespace
