// No NaN reaches the GL or the traced state from the degenerate states the demo can get into.
// Every GL call with floating-point arguments made by the scene, the camera and the tone shader
// passes through GlGuard (see gl_guard.h), which counts non-finite arguments.
#include "math/random.h"
#include "platform/platform.h"
#include "scene/camera.h"
#include "scene/frame_timer.h"
#include "scene/scene.h"
#include "tests/hardening/gl_guard.h"
#include "tests/support/gl_context.h"
#include "toon/toon_model.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

bool finite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool finite(const PathPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

std::string text(const Vec3& v) {
    return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) +
           ")";
}

// The matrix the GL holds now, all 16 entries finite.
::testing::AssertionResult finiteGlMatrix(GLenum which) {
    float m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(m[i])) {
            return ::testing::AssertionFailure() << "matrix element " << i << " is " << m[i];
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult nothingNonFiniteSent() {
    if (glGuard.nonFinite == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << glGuard.nonFinite << " of " << glGuard.calls
           << " GL calls had a non-finite argument, first " << glGuard.firstNonFinite;
}

// What velmora-capture writes to its trace for a turn, all finite.
::testing::AssertionResult traceFinite() {
    if (!std::isfinite(scene.pathTime) || !std::isfinite(scene.averageFrameTime) ||
        !finite(scene.trailPoint) || !finite(scene.shipPoint) || !finite(scene.leadPoint) ||
        !finite(scene.camera.eye) || !finite(scene.camera.target) ||
        !finite(scene.camera.direction) || !std::isfinite(testInput.speedDivisor)) {
        return ::testing::AssertionFailure()
               << "pathTime " << scene.pathTime << ", scene.averageFrameTime "
               << scene.averageFrameTime << ", eye " << text(scene.camera.eye) << ", target "
               << text(scene.camera.target) << ", direction " << text(scene.camera.direction);
    }
    return ::testing::AssertionSuccess();
}

VirtualClock virtualClock;

// The real scene from data/, set up once per process as the demo sets it up.
class DegenerateScene : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!ensureGlContext()) {
            return;
        }
        ASSERT_TRUE(setUpSceneFrom(VELMORA_SOURCE_DIR));
        ready = true;
    }

    void SetUp() override {
        if (!ready) {
            GTEST_SKIP() << "no offscreen GL";
        }
        platformSetCounterSource(&virtualClock.source);
        scene.timer.reset();
        resetScene();
        scene.starList = buildStarField();
        cameraSetUp();
        glGuard.reset();
    }
    void TearDown() override { platformSetCounterSource(nullptr); }

    static void frame(double seconds) {
        virtualClock.now += std::llround(seconds * 1e9);
        drawScene(testInput, &testTexts);
    }

    static inline bool ready = false;
};

TEST_F(DegenerateScene, PathTimeExactlyOneSendsOnlyFiniteNumbers) {
    // A rest-phase frame first, so the ship has a turn to keep.
    frame(1.0 / 60);
    ASSERT_LT(scene.pathTime, 1.0);
    // With an empty frame-time history and no time passing, the advance adds exactly 0.
    for (double& entry : scene.frameTimeHistory) {
        entry = 0.0;
    }
    scene.pathTime = 1.0;
    glGuard.reset();
    frame(0.0);
    ASSERT_EQ(scene.pathTime, 1.0);
    EXPECT_EQ(scene.shipPoint.x, scene.leadPoint.x);
    EXPECT_EQ(scene.shipPoint.y, scene.leadPoint.y);
    EXPECT_EQ(scene.shipPoint.z, scene.leadPoint.z);
    EXPECT_EQ(scene.shipDirection.x, 0.0f) << "the ship direction has no length at path time 1";
    EXPECT_EQ(scene.shipDirection.y, 0.0f);
    EXPECT_EQ(scene.shipDirection.z, 0.0f);
    EXPECT_GT(glGuard.calls, 1000) << "the whole frame went through the guard";
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_TRUE(finiteGlMatrix(GL_MODELVIEW_MATRIX));
    EXPECT_TRUE(traceFinite());
    for (float m : scene.shipRotation) {
        EXPECT_TRUE(std::isfinite(m));
    }
    // And the frames that follow fly on from there.
    for (int i = 0; i < 30; ++i) {
        frame(1.0 / 60);
    }
    EXPECT_GT(scene.pathTime, 1.0);
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_TRUE(traceFinite());
}

TEST_F(DegenerateScene, FreeCameraPitchedPastTheVerticalSendsOnlyFiniteNumbers) {
    testInput.freeCamera = true;
    cameraMouseMoved(400, 200);
    // Moving the cursor down 200 pixels pitches by -1.8 radians, over the vertical.
    cameraMouseMoved(400, 400);
    frame(1.0 / 60);
    EXPECT_LT(scene.camera.direction.z, 0.0f) << text(scene.camera.direction);
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_TRUE(finiteGlMatrix(GL_MODELVIEW_MATRIX));
    EXPECT_TRUE(traceFinite());

    // Jumps of thousands of pixels, up and down and across, many times over the vertical.
    std::uint32_t state = 7;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 8) % 65536);
    };
    for (int i = 0; i < 200; ++i) {
        cameraMouseMoved(next(), next());
        frame(1.0 / 60);
        ASSERT_TRUE(finite(scene.camera.direction)) << "move " << i;
        ASSERT_NEAR(std::sqrt(scene.camera.direction.x * scene.camera.direction.x +
                              scene.camera.direction.y * scene.camera.direction.y +
                              scene.camera.direction.z * scene.camera.direction.z),
                    1.0, 1e-5)
            << "move " << i << ": " << text(scene.camera.direction);
    }
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_TRUE(finiteGlMatrix(GL_MODELVIEW_MATRIX));
    EXPECT_TRUE(traceFinite());
}

TEST_F(DegenerateScene, FreeCameraLookingStraightAlongUpSendsOnlyFiniteNumbers) {
    // Looking exactly along up leaves gluLookAt no side vector; the view collapses but stays
    // finite, and a further pitch step waits for a yaw rather than making the direction NaN.
    testInput.freeCamera = true;
    for (float y : {1.0f, -1.0f}) {
        scene.camera.direction = Vec3{0.0f, y, 0.0f};
        frame(1.0 / 60);
        EXPECT_TRUE(finiteGlMatrix(GL_MODELVIEW_MATRIX));
        cameraMouseMoved(100, 100);
        cameraMouseMoved(100, 300);
        frame(1.0 / 60);
        EXPECT_TRUE(finite(scene.camera.direction)) << text(scene.camera.direction);
        EXPECT_TRUE(finiteGlMatrix(GL_MODELVIEW_MATRIX));
    }
    EXPECT_TRUE(nothingNonFiniteSent());
    EXPECT_TRUE(traceFinite());
}

// Hostile geometry through the whole path the demo gives a model: the reader, unit scaling,
// facet and vertex normals (ToonModel::load), the ramp and both passes of ToonModel::draw.
class DegenerateModel : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ensureGlContext()) {
            GTEST_SKIP() << "no offscreen GL";
        }
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(30.0f, 1.0f, 2.0f, 3.0f);
        // The scene's frames leave the torus's rejected line width flagged.
        while (glGetError() != GL_NO_ERROR) {
        }
        glGuard.reset();
    }

    // Loads the fixture with the demo's settings for the spaceship, draws it and checks what
    // reached the GL.
    void drawFixture(const char* name, ToonModel* toon) {
        std::string path = std::string(VELMORA_SOURCE_DIR "/tests/hardening/fixtures/") + name;
        *toon = ToonModel{};
        toon->load(path.c_str());
        toon->lineWidth = 5.0f;
        const float cool[3] = {0.2f, 0.5f, 1.0f};
        const float warm[3] = {0.0f, 1.0f, 0.0f};
        toon->buildRamp(cool, warm);
        glGuard.reset();
        glGuard.recording = true;
        toon->draw();
        glGuard.recording = false;
        const GlmModel* m = toon->model;
        ASSERT_EQ(glGuard.texCoords.size(), 3u * m->triangleCount);
        // The shaded pass and the outline pass each send every corner.
        ASSERT_EQ(glGuard.vertices.size(), 6u * m->triangleCount);
        for (float s : glGuard.texCoords) {
            EXPECT_TRUE(s >= 0.0f && s <= 1.0f) << "texture coordinate " << s;
        }
        for (const Vec3& v : glGuard.vertices) {
            EXPECT_TRUE(finite(v)) << text(v);
        }
        EXPECT_TRUE(nothingNonFiniteSent());
        GLfloat current[4];
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current);
        for (float c : current) {
            EXPECT_TRUE(std::isfinite(c));
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
};

TEST_F(DegenerateModel, OnlyZeroAreaTrianglesSendFiniteCorners) {
    ToonModel toon;
    drawFixture("zero_area_triangles.obj", &toon);
    ASSERT_EQ(toon.model->triangleCount, 4u);
    // No triangle has a direction, so no corner can face the light: all take texel 0.
    for (float s : glGuard.texCoords) {
        EXPECT_EQ(s, 0.0f);
    }
    for (std::uint32_t i = 1; i <= toon.model->normalCount; ++i) {
        EXPECT_TRUE(finite(toon.model->normals[i])) << i;
    }
    glmDeleteModel(toon.model);
}

TEST_F(DegenerateModel, OneVertexModelSendsFiniteCorners) {
    ToonModel toon;
    drawFixture("one_vertex.obj", &toon);
    ASSERT_EQ(toon.model->vertexCount, 1u);
    ASSERT_EQ(toon.model->triangleCount, 1u);
    // A single point has no size: it is centred on the origin and scaled by 1.
    EXPECT_EQ(toon.model->vertices[1].x, 0.0f);
    EXPECT_EQ(toon.model->vertices[1].y, 0.0f);
    EXPECT_EQ(toon.model->vertices[1].z, 0.0f);
    for (float s : glGuard.texCoords) {
        EXPECT_EQ(s, 0.0f);
    }
    glmDeleteModel(toon.model);
}

TEST_F(DegenerateModel, OneVertexWithoutTrianglesDrawsNothing) {
    ToonModel toon;
    drawFixture("one_vertex_no_face.obj", &toon);
    EXPECT_EQ(toon.model->vertexCount, 1u);
    EXPECT_EQ(toon.model->triangleCount, 0u);
    EXPECT_TRUE(glGuard.vertices.empty());
    glmDeleteModel(toon.model);
}

} // namespace
