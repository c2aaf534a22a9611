// A frame's state step by step (scene.h, frame_timer.h, flight_path.h, camera.h): the frame
// timer on a counter moved by hand, the average frame time, the path, the ship's turn, and the
// camera's mouse look, movement and follow step.
#include "platform/platform.h"
#include "scene/scene.h"
#include "scene/scene_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct HandClock {
    std::int64_t frequency;
    std::int64_t now = 1000000;
    CounterSource source{[](void* c) { return static_cast<HandClock*>(c)->frequency; },
                         [](void* c) { return static_cast<HandClock*>(c)->now; }, this};
};

struct TimerCase {
    const char* name;
    std::int64_t frequency;
    std::vector<double> frames; // seconds before each frame, at 1000 ticks a second
    double lastDelta;
    int seconds, framesPerSecond, framesOpen;
};

const TimerCase timerCases[] = {
    {"the first frame closes a window at once", 1000, {0.016}, 0.016, 1, 1, 0},
    {"four quarters reach exactly 1 s: open", 1000, {.25, .25, .25, .25, .25}, .25, 1, 1, 4},
    {"the fifth closes it", 1000, {.25, .25, .25, .25, .25, .25}, .25, 2, 5, 0},
    {"a pause closes one window, the rest is dropped", 1000, {.1, .1, .1, 7, .5}, .5, 2, 3, 1},
    {"frequency 0: no time passes, no window closes", 0, {0.5, 0.5, 2}, 0.0, 0, 0, 3},
};

TEST(FrameTimer, DeltasAndWindowsFromConstruction) {
    for (const TimerCase& c : timerCases) {
        HandClock clock{c.frequency};
        platformSetCounterSource(&clock.source);
        FrameTimer timer;
        for (double seconds : c.frames) {
            clock.now += std::llround(seconds * 1000);
            timer.frameDelta();
            timer.countFrame();
        }
        EXPECT_DOUBLE_EQ(timer.lastDelta, c.lastDelta) << c.name;
        EXPECT_EQ(timer.seconds, c.seconds) << c.name;
        EXPECT_EQ(timer.framesPerSecond, c.framesPerSecond) << c.name;
        EXPECT_EQ(timer.frames, c.framesOpen) << c.name;
    }
    platformSetCounterSource(nullptr);
}

class SceneState : public ::testing::Test {
  protected:
    void SetUp() override { resetScene(); }
};

TEST_F(SceneState, AverageIsATwentiethOfTheLastTwentyFrames) {
    EXPECT_DOUBLE_EQ(pushFrameTime(2.0), 0.1) << "also while the history holds set-up's zeros";
    for (int i = 0; i < 20; ++i) {
        pushFrameTime(0.02);
    }
    pushFrameTime(2.02);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NEAR(scene.averageFrameTime, 0.12, 1e-12) << "a long frame counts 20 times";
        pushFrameTime(0.02);
    }
    EXPECT_NEAR(scene.averageFrameTime, 0.02, 1e-12);
}

template <class P>
void expectPoint(const P& actual, P expected, double tolerance, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

struct PathCase {
    const char* name;
    double time;
    PathPoint point;
    double tolerance;
};

const PathCase pathCases[] = {
    {"T = 0.5 rests at P0", 0.5, {5, -2, -5}, 0},
    {"T = 1.5 is segment 0 at t = 0.5", 1.5, {-0.375, -1.625, 2.875}, 1e-12},
    {"T = 4.5 is segment 3 at t = 0.5", 4.5, {-3.75, -3.75, 125}, 1e-12},
    {"T = 6.5 is segment 5 at t = 0.5", 6.5, {2.5, 5.25, -9.75}, 1e-12},
    {"T = 6.99 closes on P0", 6.99, {4.9985, -1.9964, -5.3264}, 1e-4},
#ifdef NDEBUG // debug builds assert instead
    {"T = 0 clamps to P0", 0.0, {5, -2, -5}, 0},
    {"T = 7 clamps to P0", 7.0, {5, -2, -5}, 0},
    {"T < 0 clamps to P0", -3.0, {5, -2, -5}, 0},
    {"T far beyond the lap clamps to P0", 1e9, {5, -2, -5}, 0},
#endif
};

TEST_F(SceneState, PathPointsAlongTheLap) {
    for (const PathCase& c : pathCases) {
        expectPoint(flightPathPoint(c.time), c.point, c.tolerance, c.name);
    }
    // The red strip takes 101 samples a segment, the first at the segment's first control point.
    std::vector<PathPoint> strip;
    forEachFlightPathSample([&](float x, float y, float z) { strip.push_back({x, y, z}); });
    ASSERT_EQ(strip.size(), 606u);
    for (int k = 0; k < flightPathSegmentCount; ++k) {
        expectPoint(flightPathPoint(k + 1.0), flightPathControlPoints[3 * k], 0,
                    "a segment's lower bound is inclusive");
        expectPoint(strip[101 * k], flightPathControlPoints[3 * k], 0, "a strip segment's start");
    }
#ifndef NDEBUG
    EXPECT_DEATH(flightPathPoint(7.0), "wrap it first");
#endif
}

TEST_F(SceneState, PathTimeAdvancesRestsAndWraps) {
    advanceScene(0.5, 1.0f);
    expectPoint(scene.trailPoint, {5.01, -1.0, -8.0}, 0, "rest: the trail point");
    expectPoint(scene.shipPoint, {5.0, -2.0, -5.0}, 0, "rest: the ship point");
    expectPoint(scene.leadPoint, {5.0, -2.01, -4.9}, 0, "rest: the lead point");
    EXPECT_EQ(scene.shipDirection.y, float(-2.0 - -2.01)) << "ship minus lead";
    EXPECT_EQ(scene.shipDirection.z, float(-5.0 - -4.9)) << "ship minus lead";
    advanceScene(0.5, 1.0f);
    expectPoint(scene.leadPoint, {5.0, -2.0, -5.0}, 0, "T = 1 is on the path, at P0");
    advanceScene(0.025, 5.0f);
    EXPECT_DOUBLE_EQ(scene.pathTime, 1.005) << "the step is divided by the speed divisor";
    expectPoint(scene.shipPoint, {5.0, -2.0, -5.0}, 0, "just after the rest the ship waits");
    EXPECT_GT(scene.leadPoint.z, -5.0) << "while the lead point moves on";
    scene.pathTime = 6.99;
    advanceScene(0.02, 1.0f);
    EXPECT_EQ(scene.pathTime, 0.0) << "wraps to 0, the excess dropped";
}

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
const float halfTurnAboutY[16] = {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1};
float lastTurn[16];

struct RotationCase {
    const char* name;
    Vec3 direction;
    const float* after;
};

const RotationCase rotationCases[] = {
    {"zero length keeps the last turn", {0, 0, 0}, lastTurn},
    {"along the ship axis: the identity", {0, 0, -4}, identity},
    {"against it: a half turn about +y", {0, 0, 2}, halfTurnAboutY},
};

TEST_F(SceneState, ShipRotationWithoutAnAxisToTurnAbout) {
    axisAngleMatrix(1, 0, 0, 30, lastTurn);
    for (const RotationCase& c : rotationCases) {
        std::copy(lastTurn, lastTurn + 16, scene.shipRotation);
        scene.shipDirection = c.direction;
        updateShipRotation();
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(scene.shipRotation[i], c.after[i], 1e-5) << c.name << ", element " << i;
        }
    }
}

TEST_F(SceneState, ShipTurnsOntoItsDirectionAlongTheWholeLap) {
    for (int i = 0; i < 700; ++i) {
        scene.pathTime = i * 0.01 + 0.005;
        advanceScene(0.0, 1.0f);
        Vec3 wanted = scene.shipDirection;
        vec3Normalize(&wanted);
        updateShipRotation();
        const float* m = scene.shipRotation;
        // The ship axis (0, 0, -1) turned is minus the third column.
        expectPoint(Vec3{-m[8], -m[9], -m[10]}, wanted, 1e-4f,
                    "pathTime " + std::to_string(scene.pathTime));
    }
}

constexpr int leave = -1;

struct MouseCase {
    const char* name;
    Vec3 direction;
    std::vector<std::pair<int, int>> moves; // x = leave: the cursor leaves the window
    Vec3 expected;
};

// 0.009 radians a pixel: 10 pixels right is a yaw of -0.09, 20 down a pitch of -0.18.
const MouseCase mouseCases[] = {
    {"the first event only records the cursor", {0, 0, 1}, {{400, 200}}, {0, 0, 1}},
    {"so does the first after leaving", {0, 0, 1}, {{400, 200}, {leave, 0}, {10, 350}}, {0, 0, 1}},
    {"right turns right", {0.6f, 0, 0.8f}, {{400, 200}, {410, 200}}, {0.5256688f, 0, 0.8506893f}},
    {"down tilts down", {0, 0, 1}, {{400, 200}, {400, 220}}, {0, -0.1790296f, 0.9838437f}},
    {"and along x", {1, 0, 0}, {{400, 200}, {400, 220}}, {0.9838437f, -0.1790296f, 0}},
    {"1.8 up: over the top", {0, 0, 1}, {{0, 1000}, {0, 800}}, {0, 0.9738476f, -0.2272021f}},
    {"along up the pitch is skipped", {0, 1, 0}, {{100, 100}, {100, 275}}, {0, 1, 0}},
};

TEST(Camera, MouseTurnsTheDirection) {
    for (const MouseCase& c : mouseCases) {
        Camera camera{.direction = c.direction};
        for (auto [x, y] : c.moves) {
            x == leave ? cameraMouseLeft(camera) : cameraMouseMoved(camera, x, y);
        }
        expectPoint(camera.direction, c.expected, 1e-6, c.name);
        EXPECT_EQ(std::pair(camera.lastMouseX, camera.lastMouseY), c.moves.back()) << c.name;
    }
}

struct MoveCase {
    const char* name;
    void (*move)(Camera& camera);
    Vec3 direction;
    Vec3 eye; // from the origin
};

// The side vector is direction x up, unnormalised.
const MoveCase moveCases[] = {
    {"strafing left from the start view goes to +x", cameraStrafeLeft, {0, 0, 1}, {1.5f, 0, 0}},
    {"strafing right goes to -x", cameraStrafeRight, {0, 0, 1}, {-1.5f, 0, 0}},
    {"60 degrees up: half a strafe", cameraStrafeLeft, {0, 0.8660254f, 0.5f}, {0.75f, 0, 0}},
    {"and half to the right", cameraStrafeRight, {0, 0.8660254f, 0.5f}, {-0.75f, 0, 0}},
    {"forward along it, up too", cameraMoveForward, {0.48f, 0.6f, 0.64f}, {0.72f, 0.9f, 0.96f}},
    {"back against it", cameraMoveBack, {0.48f, 0.6f, 0.64f}, {-0.72f, -0.9f, -0.96f}},
};

TEST(Camera, MovesAlongDirectionAndSide) {
    for (const MoveCase& c : moveCases) {
        Camera camera{.direction = c.direction};
        c.move(camera);
        expectPoint(camera.eye, c.eye, 1e-6, c.name);
    }
}

struct FollowCase {
    const char* name;
    double averageFrameTime; // at speed divisor 5
    PathPoint eyeGoal, targetGoal;
    Vec3 eye, target; // from eye (0, 0, 0) and target (10, 20, 30)
};

const FollowCase followCases[] = {
    {"20 ms: a tenth of the way", 0.02, {10, -20, 100}, {0, 0, 0}, {1, -2, 10}, {9, 18, 27}},
    {"not limited: 400 ms overshoots", 0.4, {10, 10, 10}, {0, 0, 0}, {20, 20, 20}, {-10, -20, -30}},
};

// gluLookAt's nine: the free camera looks from its eye along its direction with its own up, the
// following one at its target with +y up.
TEST(Camera, LooksAlongItsDirectionOrAtItsTarget) {
    const Camera camera{
        .eye = {1, 2, 3}, .direction = {0.6f, 0, -0.8f}, .up = {0, 0, 1}, .target = {7, 8, 9}};
    double free[9], following[9];
    cameraLookAtArguments(camera, true, free);
    cameraLookAtArguments(camera, false, following);
    const double x = 1 + double{0.6f}, z = 3 - double{0.8f};
    EXPECT_EQ(std::vector<double>(free, free + 9),
              (std::vector<double>{1, 2, 3, x, 2, z, 0, 0, 1}));
    EXPECT_EQ(std::vector<double>(following, following + 9),
              (std::vector<double>{1, 2, 3, 7, 8, 9, 0, 1, 0}));
}

TEST(Camera, FollowCoversTwentyFiveTimesFrameTimeOverSpeed) {
    for (const FollowCase& c : followCases) {
        Camera camera{.target = {10, 20, 30}};
        cameraFollow(camera, &c.eyeGoal, &c.targetGoal, c.averageFrameTime, 5.0f);
        expectPoint(camera.eye, c.eye, 1e-6, c.name);
        expectPoint(camera.target, c.target, 1e-6, c.name);
    }
}

} // namespace
