#include "scene/camera.h"

#include "scene/scene_render.h"

#include <cmath>

namespace {
float followComponent(float value, double goal, double w, float s) {
    double v = value;
    return static_cast<float>(v + (goal * w * 100 - v * w * 100) / (static_cast<double>(s) * 4));
}
} // namespace

void cameraSetUp(Camera& camera) {
    camera.eye = Vec3{30.0f, 40.0f, -50.0f};
    camera.target = Vec3{0.0f, 0.0f, 0.0f};
}

void cameraFollow(Camera& camera, const PathPoint* eyeGoal, const PathPoint* targetGoal,
                  double averageFrameTime, float speedDivisor) {
    double w = averageFrameTime;
    float s = speedDivisor;
    camera.eye.x = followComponent(camera.eye.x, eyeGoal->x, w, s);
    camera.eye.y = followComponent(camera.eye.y, eyeGoal->y, w, s);
    camera.eye.z = followComponent(camera.eye.z, eyeGoal->z, w, s);
    camera.target.x = followComponent(camera.target.x, targetGoal->x, w, s);
    camera.target.y = followComponent(camera.target.y, targetGoal->y, w, s);
    camera.target.z = followComponent(camera.target.z, targetGoal->z, w, s);
}

void cameraLookAtArguments(const Camera& camera, bool freeCamera, double out[9]) {
    const Vec3& e = camera.eye;
    out[0] = e.x;
    out[1] = e.y;
    out[2] = e.z;
    if (freeCamera) {
        const Vec3& d = camera.direction;
        out[3] = static_cast<double>(e.x) + d.x;
        out[4] = static_cast<double>(e.y) + d.y;
        out[5] = static_cast<double>(e.z) + d.z;
        out[6] = camera.up.x;
        out[7] = camera.up.y;
        out[8] = camera.up.z;
    } else {
        out[3] = camera.target.x;
        out[4] = camera.target.y;
        out[5] = camera.target.z;
        out[6] = 0.0;
        out[7] = 1.0;
        out[8] = 0.0;
    }
}

void cameraViewUpdate(Camera& camera, bool freeCamera, const PathPoint* eyeGoal,
                      const PathPoint* targetGoal, double averageFrameTime, float speedDivisor) {
    if (!freeCamera) {
        cameraFollow(camera, eyeGoal, targetGoal, averageFrameTime, speedDivisor);
    }
    double a[9];
    cameraLookAtArguments(camera, freeCamera, a);
    renderLookAt(a);
}

void cameraMoveForward(Camera& camera) {
    camera.eye.x += cameraMovementStep * camera.direction.x;
    camera.eye.y += cameraMovementStep * camera.direction.y;
    camera.eye.z += cameraMovementStep * camera.direction.z;
}

void cameraMoveBack(Camera& camera) {
    camera.eye.x -= cameraMovementStep * camera.direction.x;
    camera.eye.y -= cameraMovementStep * camera.direction.y;
    camera.eye.z -= cameraMovementStep * camera.direction.z;
}

// The side vector is left unnormalised on purpose: strafing slows down as the view tilts
// toward the vertical.
void cameraStrafeLeft(Camera& camera) {
    Vec3 side;
    vec3Cross(&camera.direction, &camera.up, &side);
    camera.eye.x -= cameraMovementStep * side.x;
    camera.eye.z -= cameraMovementStep * side.z;
}

void cameraStrafeRight(Camera& camera) {
    Vec3 side;
    vec3Cross(&camera.direction, &camera.up, &side);
    camera.eye.x += cameraMovementStep * side.x;
    camera.eye.z += cameraMovementStep * side.z;
}

void cameraMouseMoved(Camera& camera, int x, int y) {
    if (!camera.mousePositionKnown) {
        camera.lastMouseX = x;
        camera.lastMouseY = y;
        camera.mousePositionKnown = true;
        return;
    }
    float pitch = static_cast<float>((camera.lastMouseY - y) * 180) * cameraMouseTurn;
    float yaw = static_cast<float>((camera.lastMouseX - x) * 180) * cameraMouseTurn;

    Vec3& d = camera.direction;
    double cy = std::cos(static_cast<double>(yaw));
    double sy = std::sin(static_cast<double>(yaw));
    float dx = d.x;
    float dz = d.z;
    d.x = static_cast<float>(dx * cy + dz * sy);
    d.z = static_cast<float>(dz * cy - dx * sy);
    vec3Normalize(&d);

    Vec3 axis;
    vec3Cross(&d, &camera.up, &axis);
    vec3Normalize(&axis);
    // Looking straight along up leaves no pitch axis; rotating about a zero axis would only
    // scale the direction (to zero at a quarter turn), so the pitch step waits for a yaw.
    bool havePitchAxis = axis.x != 0.0f || axis.y != 0.0f || axis.z != 0.0f;
    if (havePitchAxis) {
        double cp = std::cos(static_cast<double>(pitch));
        double sp = std::sin(static_cast<double>(pitch));
        double tp = 1 - cp;
        double ax = axis.x;
        double ay = axis.y;
        double az = axis.z;
        double ox = d.x;
        double oy = d.y;
        double oz = d.z;
        d.x = static_cast<float>((tp * ax * ax + cp) * ox + (tp * ax * ay - sp * az) * oy +
                                 (tp * ax * az + sp * ay) * oz);
        d.y = static_cast<float>((tp * ax * ay + sp * az) * ox + (tp * ay * ay + cp) * oy +
                                 (tp * ay * az - sp * ax) * oz);
        d.z = static_cast<float>((tp * ax * az - sp * ay) * ox + (tp * ay * az + sp * ax) * oy +
                                 (tp * az * az + cp) * oz);
        vec3Normalize(&d);
    }

    camera.lastMouseX = x;
    camera.lastMouseY = y;
}

void cameraMouseLeft(Camera& camera) {
    camera.mousePositionKnown = false;
}
