// A whole set-up and whole frames, offscreen, with octahedron fixtures standing in for the five
// model files (tests/scene/fixtures/scene/data).
#include "math/random.h"
#include "platform/platform.h"
#include "scene/camera.h"
#include "scene/frame_timer.h"
#include "scene/scene.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

VirtualClock virtualClock;

class SceneFrameTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!ensureGlContext()) {
            return;
        }
        ASSERT_TRUE(setUpSceneFrom(VELMORA_SOURCE_DIR "/tests/scene/fixtures/scene"));
        ready = true;
    }

    void SetUp() override {
        if (!ready) {
            GTEST_SKIP() << "no offscreen GL";
        }
        platformSetCounterSource(&virtualClock.source);
        scene.timer.reset();
    }
    void TearDown() override { platformSetCounterSource(nullptr); }

    void frame(double seconds) {
        virtualClock.now += std::llround(seconds * 1e9);
        drawScene(testInput, &testTexts);
    }

    // Pixels of the back buffer, RGB.
    std::vector<unsigned char> pixels() {
        std::vector<unsigned char> rgb(testSurfaceSize * testSurfaceSize * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, testSurfaceSize, testSurfaceSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    static bool ready;
};

bool SceneFrameTest::ready = false;

TEST_F(SceneFrameTest, SetUpWritesSettingsStatusAndStars) {
    EXPECT_STREQ(testTexts.speed, "Speed: 0.200000");
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.3f);
    EXPECT_EQ(clear[2], 0.3f);
    EXPECT_EQ(clear[3], 0.0f);
    GLint hint = 0;
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    EXPECT_EQ(hint, GL_NICEST);

    EXPECT_EQ(scene.spaceship.lineWidth, 5.0f);
    EXPECT_EQ(scene.spaceship.flags, TOON_OUTLINE | TOON_GRADIENT);
    EXPECT_EQ(scene.deathstar.lineWidth, 3.0f);
    EXPECT_EQ(scene.lego.lineWidth, 4.0f);
    EXPECT_EQ(scene.surface.lineWidth, 4.0f);
    EXPECT_EQ(scene.torus.flags, TOON_RANDOM_SHADES | TOON_OUTLINE);
    EXPECT_EQ(scene.torus.shadeCount, 32);
    EXPECT_EQ(scene.torus.lineWidth, 0.0f);

    EXPECT_TRUE(glIsList(scene.starList));
    EXPECT_EQ(flightPath.controlPoints[3].z, -8.0);
    for (double entry : scene.frameTimeHistory) {
        EXPECT_EQ(entry, 0.0);
    }

    // The torus took 32 numbers and the stars two each: the generator stands after 8030 draws.
    int next = nextRandom();
    resetRandom();
    for (int i = 0; i < 32 + 2 * starCount; ++i) {
        nextRandom();
    }
    EXPECT_EQ(next, nextRandom());
}

TEST_F(SceneFrameTest, FirstFrameShowsOneAndOne) {
    resetScene();
    scene.starList = buildStarField();
    cameraSetUp();
    frame(1.0 / 60);
    EXPECT_STREQ(testTexts.frameRate, "FPS: 1 Secs: 1");
    double delta = 16666667 / 1e9;
    EXPECT_DOUBLE_EQ(scene.averageFrameTime, delta * 0.05);
    EXPECT_DOUBLE_EQ(scene.pathTime, delta * 0.05 / 5.0);
    EXPECT_EQ(scene.shipPoint.z, -5.0);
}

TEST_F(SceneFrameTest, FrameLeavesOnlyTheLookAtOnTheMatrix) {
    for (int i = 0; i < 3; ++i) {
        frame(0.05);
    }
    // The torus's line width 0 is rejected by the GL on purpose (its outline takes the lego's
    // width); nothing else may raise an error.
    GLenum error = glGetError();
    EXPECT_TRUE(error == GL_NO_ERROR || error == GL_INVALID_VALUE) << error;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);

    double a[9];
    cameraLookAtArguments(testInput.freeCamera, a);
    glLoadIdentity();
    gluLookAt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    float expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(after[i], expected[i]) << "element " << i;
    }
}

// Everything a frame reads and writes, so one frame can be drawn twice from the same start.
struct FrameSnapshot {
    SceneState state = scene;
    std::int64_t now = virtualClock.now;
    void restore() const {
        scene = state;
        virtualClock.now = now;
    }
};

TEST_F(SceneFrameTest, PathIsDrawnOnlyWhenShown) {
    resetScene();
    scene.starList = buildStarField();
    cameraSetUp();
    testInput.showPath = false;
    for (int i = 0; i < 30; ++i) {
        frame(0.1);
    }
    FrameSnapshot before;
    frame(0.1);
    std::vector<unsigned char> hidden = pixels();
    before.restore();
    testInput.showPath = true;
    frame(0.1);
    std::vector<unsigned char> shown = pixels();
    testInput.showPath = false;

    int red = 0;
    int green = 0;
    int other = 0;
    for (std::size_t i = 0; i < shown.size(); i += 3) {
        if (shown[i] == hidden[i] && shown[i + 1] == hidden[i + 1] &&
            shown[i + 2] == hidden[i + 2]) {
            continue;
        }
        if (shown[i] == 255 && shown[i + 1] == 0 && shown[i + 2] == 0) {
            ++red;
        } else if (shown[i] == 0 && shown[i + 1] == 255 && shown[i + 2] == 0) {
            ++green;
        } else {
            ++other;
        }
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(green, 0);
    EXPECT_EQ(other, 0) << "only the red curve and the green polygon are added";
}

TEST_F(SceneFrameTest, LapsStayFinite) {
    resetScene();
    scene.starList = buildStarField();
    cameraSetUp();
    testInput.speedDivisor = 1.0f;
    double highest = 0;
    int wraps = 0;
    double previous = 0;
    for (int i = 0; i < 400; ++i) {
        frame(0.05);
        ASSERT_GE(scene.pathTime, 0.0);
        ASSERT_LT(scene.pathTime, 7.0);
        if (scene.pathTime < previous) {
            ++wraps;
        }
        previous = scene.pathTime;
        highest = std::fmax(highest, scene.pathTime);
        ASSERT_TRUE(std::isfinite(scene.camera.eye.x) && std::isfinite(scene.camera.eye.y) &&
                    std::isfinite(scene.camera.eye.z))
            << "frame " << i;
        for (float m : scene.shipRotation) {
            ASSERT_TRUE(std::isfinite(m)) << "frame " << i;
        }
    }
    testInput.speedDivisor = 5.0f;
    EXPECT_GE(wraps, 2);
    EXPECT_GT(highest, 6.9);
}

} // namespace
