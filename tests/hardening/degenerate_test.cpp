// No NaN reaches the GL from the degenerate states the demo can get into: the real scene from
// data/ drawn whole, and hostile models through the tone shader, with every GL call that takes
// floating-point arguments passing through GlGuard (gl_guard.h).
#include "platform/platform.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "tests/hardening/gl_guard.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Enough for the traced state too: the path points, camera and ship rotation velmora-capture
// traces all reach the GL as arguments.
::testing::AssertionResult nothingNonFiniteSent() {
    return (glGuard.nonFinite == 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << glGuard.nonFinite << " of " << glGuard.calls << " GL calls, first "
           << glGuard.firstNonFinite;
}

VirtualClock virtualClock;

class DegenerateScene : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(ensureGlContext());
        ASSERT_TRUE(setUpSceneFrom(VELMORA_SOURCE_DIR));
    }
    // A fresh run as velmora-capture starts one.
    void SetUp() override {
        platformSetCounterSource(&virtualClock.source);
        resetScene();
        scene.starList = buildStarField();
        cameraSetUp(scene.camera);
        glGuard.reset();
    }
    void TearDown() override {
        platformSetCounterSource(nullptr);
        testInput = SceneInput{};
    }
    static void frame(double seconds) {
        virtualClock.now += std::llround(seconds * 1e9);
        drawScene(testInput, &testTexts);
    }
};

TEST_F(DegenerateScene, PathTimeExactlyOneHasAShipDirectionOfZeroLength) {
    frame(1.0 / 60); // a rest-phase frame first, so the ship has a turn to keep
    // With an empty frame-time history and no time passing, the advance adds exactly 0.
    std::fill(scene.frameTimeHistory, scene.frameTimeHistory + frameTimeHistoryLength, 0.0);
    scene.pathTime = 1.0;
    frame(0.0);
    ASSERT_EQ(scene.pathTime, 1.0);
    const Vec3& d = scene.shipDirection;
    EXPECT_TRUE(d.x == 0 && d.y == 0 && d.z == 0)
        << "ship and lead point meet: " << d.x << ", " << d.y << ", " << d.z;
    EXPECT_GT(glGuard.calls, 1000) << "the whole frame went through the guard";
    for (int i = 0; i < 30; ++i) {
        frame(1.0 / 60);
    }
    EXPECT_GT(scene.pathTime, 1.0) << "the frames that follow fly on";
    EXPECT_TRUE(nothingNonFiniteSent());
}

TEST_F(DegenerateScene, FreeCameraOverAndAlongTheVertical) {
    testInput.freeCamera = true;
    // Exactly along up leaves gluLookAt no side vector and the mouse no pitch axis.
    for (float y : {1.0f, -1.0f}) {
        scene.camera.direction = Vec3{0.0f, y, 0.0f};
        frame(1.0 / 60);
        cameraMouseMoved(scene.camera, 100, 100);
        cameraMouseMoved(scene.camera, 100, 300);
        frame(1.0 / 60);
    }
    // Jumps of thousands of pixels, many times over the vertical.
    std::uint32_t state = 7;
    for (int i = 0; i < 200; ++i) {
        state = state * 1103515245u + 12345u;
        cameraMouseMoved(scene.camera, (state >> 8) % 65536, (state >> 4) % 65536);
        frame(1.0 / 60);
        const Vec3& d = scene.camera.direction;
        ASSERT_NEAR(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 1.0, 1e-5)
            << "move " << i << ": " << d.x << ", " << d.y << ", " << d.z;
    }
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_EQ(scene.camera.eye.x, 30.0f) << "the free camera does not follow the ship";
}

// Hostile geometry through the whole path the demo gives a model: the reader, unit scaling,
// facet and vertex normals (ToonModel::load), the ramp and both passes of draw. None of these
// triangles has a direction, so no corner can face the light: every corner takes texel 0.
TEST(DegenerateModel, LoadsAndDrawsFiniteCornersOfTexelZero) {
    ASSERT_TRUE(ensureGlContext());
    glLoadIdentity();
    glRotatef(30.0f, 1.0f, 2.0f, 3.0f);
    const float cool[3] = {0.2f, 0.5f, 1.0f};
    const float warm[3] = {0.0f, 1.0f, 0.0f};
    const struct {
        const char* fixture;
        std::uint32_t triangles;
    } cases[] = {
        {"zero_area_triangles.obj", 4}, // collinear, a repeated corner, one point, backwards
        {"one_vertex.obj", 1},          // all three corners on the one vertex
        {"one_vertex_no_face.obj", 0},
    };
    for (const auto& c : cases) {
        while (glGetError() != GL_NO_ERROR) {
        }
        ToonModel toon{};
        toon.load(
            (VELMORA_SOURCE_DIR "/tests/hardening/fixtures/" + std::string(c.fixture)).c_str());
        ASSERT_EQ(toon.model->triangleCount, c.triangles) << c.fixture;
        toon.lineWidth = 5.0f;
        toon.buildRamp(cool, warm);
        glGuard.reset();
        glGuard.recording = true;
        toon.draw();
        glGuard.recording = false;
        EXPECT_TRUE(nothingNonFiniteSent()) << c.fixture;
        EXPECT_EQ(glGuard.texCoords, std::vector<float>(3 * c.triangles, 0.0f)) << c.fixture;
        // The shaded pass and the outline pass each send every corner.
        EXPECT_EQ(glGuard.vertices.size(), 6u * c.triangles) << c.fixture;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << c.fixture;
        glmDeleteModel(toon.model);
    }
}

} // namespace
