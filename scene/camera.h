// The camera: follow mode trails the ship along the flight path, free mode looks along a
// direction the mouse turns and the arrow keys move along.
//
// Contract:
// - Vectors are 32-bit world units. direction is unit length after every mouse turn; up stays
//   (0, 1, 0). Mouse angles are radians, 0.009 per pixel of cursor travel.
// - Mouse look and movement act in both modes; only the view update looks at the mode.
// - The first mouse event, and the first one after cameraMouseLeft, only records the cursor
//   position: the window does not capture the mouse, so the jump from an unknown or stale
//   position would otherwise swing the view by up to several radians.
// - When direction is parallel to up there is no pitch axis, and the pitch step is skipped
//   (the yaw still applies), rather than producing a zero axis or NaN.
// - cameraViewUpdate multiplies gluLookAt onto the current (model-view) matrix; it needs a
//   current GL context. cameraFollow is the same follow step without GL, for tests and tools.
#pragma once

#include "math/vec3.h"
#include "scene/flight_path.h"

#include <cstdint>

// The demo's camera is part of the scene's record (scene.camera); every function here works on
// the camera it is given.
struct Camera {
    Vec3 eye{0.0f, 0.0f, 0.0f};
    Vec3 direction{0.0f, 0.0f, 1.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 target{0.0f, 0.0f, 0.0f};
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;
    // false until a mouse event has recorded a position (again after the cursor left).
    bool mousePositionKnown = false;
};

constexpr float cameraMovementStep = 1.5f;
constexpr float cameraMouseTurn = 0.00005f;

// eye (30, 40, -50), target (0, 0, 0); direction and up keep their values.
void cameraSetUp(Camera& camera);

// Follow mode step: each of eye x, y, z then target x, y, z covers the fraction
// 25 * w / s of its distance to its goal (not limited).
void cameraFollow(Camera& camera, const PathPoint* eyeGoal, const PathPoint* targetGoal,
                  double averageFrameTime, float speedDivisor);
// The nine gluLookAt arguments (eye, centre, up) the view update would apply now.
void cameraLookAtArguments(const Camera& camera, bool freeCamera, double out[9]);
// Follow step (follow mode only), then gluLookAt.
void cameraViewUpdate(Camera& camera, bool freeCamera, const PathPoint* eyeGoal,
                      const PathPoint* targetGoal, double averageFrameTime, float speedDivisor);

void cameraMoveForward(Camera& camera);
void cameraMoveBack(Camera& camera);
void cameraStrafeLeft(Camera& camera);
void cameraStrafeRight(Camera& camera);
// Cursor position in client coordinates (x right, y down).
void cameraMouseMoved(Camera& camera, int x, int y);
// The cursor has left the client area: the next cameraMouseMoved only records its position.
void cameraMouseLeft(Camera& camera);
