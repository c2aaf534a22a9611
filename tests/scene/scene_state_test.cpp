#include "math/random.h"
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class SceneStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetScene();
        initFlightPath();
    }
};

bool finiteMatrix(const float* m) {
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(m[i])) {
            return false;
        }
    }
    return true;
}

TEST_F(SceneStateTest, AverageDividesByTwentyFromTheStart) {
    EXPECT_DOUBLE_EQ(pushFrameTime(2.0), 0.1);
    EXPECT_EQ(scene.frameTimeHistory[0], 2.0);
}

TEST_F(SceneStateTest, LongFrameRaisesAverageForTwentyFrames) {
    for (int i = 0; i < 20; ++i) {
        pushFrameTime(0.02);
    }
    EXPECT_NEAR(scene.averageFrameTime, 0.02, 1e-15);
    pushFrameTime(2.02);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NEAR(scene.averageFrameTime, 0.12, 1e-12) << "frame " << i;
        pushFrameTime(0.02);
    }
    EXPECT_NEAR(scene.averageFrameTime, 0.02, 1e-12);
    EXPECT_EQ(scene.frameTimeHistory[19], 0.02);
}

TEST_F(SceneStateTest, RestPhaseUsesFixedPoints) {
    advanceScene(0.5, 1.0f);
    EXPECT_EQ(scene.pathTime, 0.5);
    EXPECT_EQ(scene.trailPoint.x, 5.01);
    EXPECT_EQ(scene.trailPoint.y, -1.0);
    EXPECT_EQ(scene.trailPoint.z, -8.0);
    EXPECT_EQ(scene.shipPoint.x, 5.0);
    EXPECT_EQ(scene.shipPoint.y, -2.0);
    EXPECT_EQ(scene.shipPoint.z, -5.0);
    EXPECT_EQ(scene.leadPoint.x, 5.0);
    EXPECT_EQ(scene.leadPoint.y, -2.01);
    EXPECT_EQ(scene.leadPoint.z, -4.9);
    EXPECT_EQ(scene.shipDirection.x, 0.0f);
    EXPECT_EQ(scene.shipDirection.y, static_cast<float>(-2.0 - -2.01));
    EXPECT_EQ(scene.shipDirection.z, static_cast<float>(-5.0 - -4.9));
}

TEST_F(SceneStateTest, RestingShipTiltsAboutX) {
    advanceScene(0.5, 1.0f);
    updateShipRotation();
    ASSERT_TRUE(finiteMatrix(scene.shipRotation));
    Vec3 turned;
    vec3RotateByMatrix(&scene.shipAxis, scene.shipRotation, &turned);
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_NEAR(turned.y, 0.0995037f, 1e-5f);
    EXPECT_NEAR(turned.z, -0.995037f, 1e-5f);
}

TEST_F(SceneStateTest, AdvanceDividesBySpeedAndWrapsAtSeven) {
    scene.pathTime = 3.0;
    advanceScene(0.5, 5.0f);
    EXPECT_DOUBLE_EQ(scene.pathTime, 3.1);
    scene.pathTime = 6.99;
    advanceScene(0.02, 1.0f);
    EXPECT_EQ(scene.pathTime, 0.0);
    EXPECT_EQ(scene.shipPoint.z, -5.0) << "the wrapped frame shows the rest phase";
    EXPECT_EQ(scene.trailPoint.x, 5.01);
}

TEST_F(SceneStateTest, JustAfterRestShipStaysWhileLeadMoves) {
    scene.pathTime = 1.0;
    advanceScene(0.005, 1.0f);
    EXPECT_EQ(scene.shipPoint.x, 5.0);
    EXPECT_EQ(scene.shipPoint.z, -5.0);
    EXPECT_EQ(scene.trailPoint.z, -5.0);
    EXPECT_GT(scene.leadPoint.z, -5.0);
}

TEST_F(SceneStateTest, ShipDirectionOfZeroLengthAtPathTimeOneKeepsLastTurn) {
    advanceScene(0.5, 1.0f);
    updateShipRotation();
    float previous[16];
    for (int i = 0; i < 16; ++i) {
        previous[i] = scene.shipRotation[i];
    }
    advanceScene(0.5, 1.0f);
    ASSERT_EQ(scene.pathTime, 1.0);
    ASSERT_EQ(scene.shipDirection.x, 0.0f);
    ASSERT_EQ(scene.shipDirection.y, 0.0f);
    ASSERT_EQ(scene.shipDirection.z, 0.0f);
    updateShipRotation();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(scene.shipRotation[i], previous[i]) << "element " << i;
    }
}

TEST_F(SceneStateTest, ShipDirectionOfZeroLengthInFirstFrameIsIdentity) {
    scene.shipDirection = Vec3{0, 0, 0};
    updateShipRotation();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(scene.shipRotation[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
    }
}

TEST_F(SceneStateTest, ShipDirectionAlongAxisIsIdentity) {
    axisAngleMatrix(1, 0, 0, 30, scene.shipRotation);
    scene.shipDirection = Vec3{0, 0, -4};
    updateShipRotation();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(scene.shipRotation[i], (i % 5 == 0) ? 1.0f : 0.0f) << "element " << i;
    }
}

TEST_F(SceneStateTest, ShipDirectionAgainstAxisIsHalfTurn) {
    scene.shipDirection = Vec3{0, 0, 2};
    updateShipRotation();
    ASSERT_TRUE(finiteMatrix(scene.shipRotation));
    Vec3 turned;
    vec3RotateByMatrix(&scene.shipAxis, scene.shipRotation, &turned);
    EXPECT_NEAR(turned.x, 0.0f, 1e-5f);
    EXPECT_NEAR(turned.y, 0.0f, 1e-5f);
    EXPECT_NEAR(turned.z, 1.0f, 1e-5f);
}

TEST_F(SceneStateTest, ShipTurnsOntoDirectionAlongWholeLap) {
    for (int i = 1; i < 700; ++i) {
        scene.pathTime = i * 0.01 - 0.005;
        advanceScene(0.0, 1.0f);
        Vec3 wanted = scene.shipDirection;
        vec3Normalize(&wanted);
        updateShipRotation();
        ASSERT_TRUE(finiteMatrix(scene.shipRotation)) << "pathTime " << scene.pathTime;
        Vec3 turned;
        vec3RotateByMatrix(&scene.shipAxis, scene.shipRotation, &turned);
        EXPECT_NEAR(turned.x, wanted.x, 1e-4f) << "pathTime " << scene.pathTime;
        EXPECT_NEAR(turned.y, wanted.y, 1e-4f) << "pathTime " << scene.pathTime;
        EXPECT_NEAR(turned.z, wanted.z, 1e-4f) << "pathTime " << scene.pathTime;
    }
}

TEST_F(SceneStateTest, StarsLieOnTheSphereOfRadius1000) {
    resetRandom();
    for (int i = 0; i < 32; ++i) {
        nextRandom(); // the torus ramp draws first
    }
    double lowest = 1e9;
    for (int i = 0; i < starCount; ++i) {
        Vec3 s = nextStarPosition();
        double r = std::sqrt(double(s.x) * s.x + double(s.y) * s.y + double(s.z) * s.z);
        ASSERT_NEAR(r, 1000.0, 1e-3) << "star " << i;
        ASSERT_GE(s.z, -1000.0f);
        ASSERT_LE(s.z, 999.0f);
        ASSERT_EQ(s.z, std::floor(s.z)) << "heights are whole numbers";
        lowest = std::fmin(lowest, s.z);
    }
    EXPECT_LT(lowest, -990.0);
}

TEST_F(SceneStateTest, StarAtHeightMinus1000IsAtThePole) {
    // Draw until a star's height draw gives 0 (h = -1000), then check it.
    resetRandom();
    for (int i = 0; i < 200000; ++i) {
        Vec3 s = nextStarPosition();
        if (s.z == -1000.0f) {
            EXPECT_NEAR(s.x, 0.0f, 1e-3f);
            EXPECT_NEAR(s.y, 0.0f, 1e-3f);
            return;
        }
    }
    GTEST_SKIP() << "no star at the pole in the first 200000";
}

} // namespace
