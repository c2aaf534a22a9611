#include "scene/camera.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraTest : public ::testing::Test {
  protected:
    void SetUp() override { scene.camera = Camera{}; }
};

bool finite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

TEST_F(CameraTest, SetUpPlacesEyeAndTarget) {
    cameraSetUp();
    EXPECT_EQ(scene.camera.eye.x, 30.0f);
    EXPECT_EQ(scene.camera.eye.y, 40.0f);
    EXPECT_EQ(scene.camera.eye.z, -50.0f);
    EXPECT_EQ(scene.camera.target.z, 0.0f);
    EXPECT_EQ(scene.camera.direction.z, 1.0f);
    EXPECT_EQ(scene.camera.up.y, 1.0f);
}

TEST_F(CameraTest, FollowFractionIsTenthForSpeed5AndFrameTime20ms) {
    scene.camera.eye = Vec3{0, 0, 0};
    scene.camera.target = Vec3{10, 20, 30};
    PathPoint eyeGoal{10, -20, 100};
    PathPoint targetGoal{0, 0, 0};
    cameraFollow(&eyeGoal, &targetGoal, 0.02, 5.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 1.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.y, -2.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.z, 10.0f);
    EXPECT_FLOAT_EQ(scene.camera.target.x, 9.0f);
    EXPECT_FLOAT_EQ(scene.camera.target.y, 18.0f);
    EXPECT_FLOAT_EQ(scene.camera.target.z, 27.0f);
}

TEST_F(CameraTest, FollowFractionIsNotLimited) {
    scene.camera.eye = Vec3{0, 0, 0};
    PathPoint goal{10, 10, 10};
    // w = 0.4, s = 5: fraction 2, the eye lands on the far side at the same distance.
    cameraFollow(&goal, &goal, 0.4, 5.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 20.0f);
}

TEST_F(CameraTest, StrafeFromStartMovesTowardPlusX) {
    scene.camera.eye = Vec3{0, 0, 0};
    cameraStrafeLeft();
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 1.5f);
    EXPECT_EQ(scene.camera.eye.y, 0.0f);
    EXPECT_EQ(scene.camera.eye.z, 0.0f);
    cameraStrafeRight();
    cameraStrafeRight();
    EXPECT_FLOAT_EQ(scene.camera.eye.x, -1.5f);
}

TEST_F(CameraTest, StrafeAtSixtyDegreesElevationIsThreeQuarters) {
    scene.camera.eye = Vec3{0, 0, 0};
    scene.camera.direction = Vec3{0.0f, std::sin(1.0471976f), std::cos(1.0471976f)};
    cameraStrafeLeft();
    float step = std::hypot(scene.camera.eye.x, scene.camera.eye.z);
    EXPECT_NEAR(step, 0.75f, 1e-6f);
    EXPECT_EQ(scene.camera.eye.y, 0.0f);
}

TEST_F(CameraTest, MoveForwardAndBackFollowDirection) {
    scene.camera.eye = Vec3{1, 2, 3};
    scene.camera.direction = Vec3{0.6f, 0.0f, 0.8f};
    cameraMoveForward();
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 1.9f);
    EXPECT_FLOAT_EQ(scene.camera.eye.z, 4.2f);
    cameraMoveBack();
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 1.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.z, 3.0f);
}

TEST_F(CameraTest, FirstMouseEventOnlyRecordsPosition) {
    cameraMouseMoved(400, 200);
    EXPECT_EQ(scene.camera.direction.x, 0.0f);
    EXPECT_EQ(scene.camera.direction.y, 0.0f);
    EXPECT_EQ(scene.camera.direction.z, 1.0f);
    EXPECT_EQ(scene.camera.lastMouseX, 400);
    EXPECT_EQ(scene.camera.lastMouseY, 200);
}

TEST_F(CameraTest, MouseReenteringOnlyRecordsPosition) {
    cameraMouseMoved(400, 200);
    cameraMouseMoved(410, 200);
    Vec3 before = scene.camera.direction;
    cameraMouseLeft();
    cameraMouseMoved(10, 350);
    EXPECT_EQ(scene.camera.direction.x, before.x);
    EXPECT_EQ(scene.camera.direction.y, before.y);
    EXPECT_EQ(scene.camera.direction.z, before.z);
    EXPECT_EQ(scene.camera.lastMouseX, 10);
    EXPECT_EQ(scene.camera.lastMouseY, 350);
}

TEST_F(CameraTest, CursorRightTurnsViewRight) {
    cameraMouseMoved(400, 200);
    cameraMouseMoved(410, 200);
    // yaw = -10 * 180 * 0.00005 = -0.09 rad; the right of a view along +z is -x.
    EXPECT_NEAR(scene.camera.direction.x, std::sin(-0.09), 1e-6);
    EXPECT_NEAR(scene.camera.direction.y, 0.0, 1e-7);
    EXPECT_NEAR(scene.camera.direction.z, std::cos(0.09), 1e-6);
}

TEST_F(CameraTest, CursorDownTiltsViewDown) {
    cameraMouseMoved(400, 200);
    cameraMouseMoved(400, 220);
    EXPECT_NEAR(scene.camera.direction.y, std::sin(-0.18), 1e-6);
    EXPECT_NEAR(scene.camera.direction.z, std::cos(0.18), 1e-6);
    EXPECT_NEAR(scene.camera.direction.x, 0.0, 1e-7);
}

TEST_F(CameraTest, SamePositionKeepsDirection) {
    scene.camera.direction = Vec3{0.6f, 0.0f, 0.8f};
    cameraMouseMoved(100, 100);
    cameraMouseMoved(100, 100);
    EXPECT_NEAR(scene.camera.direction.x, 0.6f, 1e-6f);
    EXPECT_NEAR(scene.camera.direction.z, 0.8f, 1e-6f);
}

TEST_F(CameraTest, PitchSkippedWhenDirectionParallelToUp) {
    scene.camera.direction = Vec3{0.0f, 1.0f, 0.0f};
    cameraMouseMoved(100, 100);
    cameraMouseMoved(100, 275); // pitch -1.575 rad, about a quarter turn
    EXPECT_TRUE(finite(scene.camera.direction));
    EXPECT_EQ(scene.camera.direction.x, 0.0f);
    EXPECT_EQ(scene.camera.direction.y, 1.0f);
    EXPECT_EQ(scene.camera.direction.z, 0.0f);
    scene.camera.direction = Vec3{0.0f, -1.0f, 0.0f};
    cameraMouseMoved(130, 50);
    EXPECT_TRUE(finite(scene.camera.direction));
    EXPECT_EQ(scene.camera.direction.y, -1.0f);
    EXPECT_EQ(scene.camera.lastMouseX, 130);
}

TEST_F(CameraTest, PitchIsNotLimited) {
    cameraMouseMoved(0, 1000);
    cameraMouseMoved(0, 800); // pitch +1.8 rad: over the vertical
    EXPECT_TRUE(finite(scene.camera.direction));
    EXPECT_NEAR(scene.camera.direction.y, std::sin(1.8), 1e-5);
    EXPECT_NEAR(scene.camera.direction.z, std::cos(1.8), 1e-5);
}

TEST_F(CameraTest, LookAtArgumentsPerMode) {
    scene.camera.eye = Vec3{1, 2, 3};
    scene.camera.target = Vec3{4, 5, 6};
    scene.camera.direction = Vec3{0, 0, 1};
    double a[9];
    cameraLookAtArguments(false, a);
    EXPECT_EQ(a[3], 4.0);
    EXPECT_EQ(a[5], 6.0);
    EXPECT_EQ(a[7], 1.0);
    cameraLookAtArguments(true, a);
    EXPECT_EQ(a[3], 1.0);
    EXPECT_EQ(a[5], 4.0);
    EXPECT_EQ(a[7], 1.0);
}

TEST_F(CameraTest, ViewUpdateLeavesEyeAloneInFreeMode) {
    if (!ensureGlContext()) {
        GTEST_SKIP() << "no offscreen GL";
    }
    scene.camera.eye = Vec3{0, 0, 0};
    scene.camera.direction = Vec3{1, 0, 0};
    PathPoint goal{100, 100, 100};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    cameraViewUpdate(true, &goal, &goal, 0.1, 1.0f);
    EXPECT_EQ(scene.camera.eye.x, 0.0f);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    // Looking along +x, the world's +x ends up along the eye's -z.
    EXPECT_NEAR(m[2], -1.0f, 1e-6f);
    glLoadIdentity();
    cameraViewUpdate(false, &goal, &goal, 0.02, 5.0f);
    EXPECT_FLOAT_EQ(scene.camera.eye.x, 10.0f);
}

} // namespace
