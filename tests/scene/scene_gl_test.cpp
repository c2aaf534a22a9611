// What the star field and the flight path send to the GL, seen through feedback mode.
#include "math/random.h"
#include "scene/flight_path.h"
#include "scene/scene.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class SceneGlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ensureGlContext()) {
            GTEST_SKIP() << "no offscreen GL";
        }
        // An orthographic box of half-size `extent` maps world coordinates linearly onto the
        // window, so feedback positions can be mapped back.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-extent, extent, -extent, extent, -extent, extent);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, testSurfaceSize, testSurfaceSize);
    }

    Vec3 world(const FeedbackVertex& v) const {
        double half = testSurfaceSize / 2.0;
        return Vec3{static_cast<float>((v.x / half - 1) * extent),
                    static_cast<float>((v.y / half - 1) * extent),
                    static_cast<float>(-(2 * v.z - 1) * extent)};
    }

    double extent = 1001;
};

TEST_F(SceneGlTest, StarListHolds3999WhitePointsAtDistance1000) {
    resetRandom();
    GLuint list = buildStarField();
    ASSERT_NE(list, 0u);
    auto primitives = captureFeedback([&] { glCallList(list); });
    ASSERT_EQ(primitives.size(), 3999u);
    for (const FeedbackPrimitive& p : primitives) {
        ASSERT_EQ(p.token, GL_POINT_TOKEN);
        const FeedbackVertex& v = p.vertices[0];
        EXPECT_EQ(v.r, 1.0f);
        EXPECT_EQ(v.g, 1.0f);
        EXPECT_EQ(v.b, 1.0f);
        Vec3 w = world(v);
        double r = std::sqrt(double(w.x) * w.x + double(w.y) * w.y + double(w.z) * w.z);
        // Window coordinates keep about six digits of the 1001-unit box.
        EXPECT_NEAR(r, 1000.0, 0.05);
    }
    float size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 2.0f) << "the list sets its point size";
}

TEST_F(SceneGlTest, DrawFlightPathSends606RedAnd19GreenVertices) {
    extent = 200;
    SetUp();
    initFlightPath();
    auto primitives = captureFeedback([] { drawFlightPath(); });
    std::vector<FeedbackVertex> red;
    std::vector<FeedbackVertex> green;
    int strips = 0;
    const FeedbackVertex* previous = nullptr;
    for (const FeedbackPrimitive& p : primitives) {
        ASSERT_TRUE(p.token == GL_LINE_TOKEN || p.token == GL_LINE_RESET_TOKEN) << p.token;
        std::vector<FeedbackVertex>& strip = p.vertices[1].r == 1.0f ? red : green;
        // Mesa does not mark a strip's first segment with the reset token, so a strip starts
        // where the colour changes.
        if (previous == nullptr || previous->r != p.vertices[1].r) {
            ++strips;
            strip.push_back(p.vertices[0]);
        }
        strip.push_back(p.vertices[1]);
        previous = &p.vertices[1];
    }
    EXPECT_EQ(strips, 2);
    ASSERT_EQ(red.size(), 606u);
    ASSERT_EQ(green.size(), 19u);
    for (const FeedbackVertex& v : red) {
        EXPECT_EQ(v.g, 0.0f);
    }
    for (const FeedbackVertex& v : green) {
        EXPECT_EQ(v.r, 0.0f);
        EXPECT_EQ(v.g, 1.0f);
    }
    EXPECT_EQ(green.front().x, green.back().x);
    EXPECT_EQ(green.front().y, green.back().y);
    for (int i = 0; i < flightPathControlPointCount; ++i) {
        Vec3 w = world(green[i]);
        EXPECT_NEAR(w.x, flightPath.controlPoints[i].x, 1e-3) << "control point " << i;
        EXPECT_NEAR(w.y, flightPath.controlPoints[i].y, 1e-3) << "control point " << i;
        EXPECT_NEAR(w.z, flightPath.controlPoints[i].z, 1e-3) << "control point " << i;
    }
    int i = 0;
    forEachFlightPathSample([&](float x, float y, float z) {
        Vec3 w = world(red[i]);
        EXPECT_NEAR(w.x, x, 1e-3) << "sample " << i;
        EXPECT_NEAR(w.y, y, 1e-3) << "sample " << i;
        EXPECT_NEAR(w.z, z, 1e-3) << "sample " << i;
        ++i;
    });
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[1], 1.0f) << "the current colour is left green";
}

} // namespace
