#include "scene/camera.h"

#include "scene/scene.h"
#include "scene/scene_render.h"

#include <cmath>

namespace {
float followComponent(float value, double goal, double w, float s) {
    double v = value;
    return static_cast<float>(v + (goal * w * 100 - v * w * 100) / (static_cast<double>(s) * 4));
}
} // namespace

void cameraSetUp() {
    scene.camera.eye = Vec3{30.0f, 40.0f, -50.0f};
    scene.camera.target = Vec3{0.0f, 0.0f, 0.0f};
}

void cameraFollow(const PathPoint* eyeGoal, const PathPoint* targetGoal, double averageFrameTime,
                  float speedDivisor) {
    double w = averageFrameTime;
    float s = speedDivisor;
    scene.camera.eye.x = followComponent(scene.camera.eye.x, eyeGoal->x, w, s);
    scene.camera.eye.y = followComponent(scene.camera.eye.y, eyeGoal->y, w, s);
    scene.camera.eye.z = followComponent(scene.camera.eye.z, eyeGoal->z, w, s);
    scene.camera.target.x = followComponent(scene.camera.target.x, targetGoal->x, w, s);
    scene.camera.target.y = followComponent(scene.camera.target.y, targetGoal->y, w, s);
    scene.camera.target.z = followComponent(scene.camera.target.z, targetGoal->z, w, s);
}

void cameraLookAtArguments(bool freeCamera, double out[9]) {
    const Vec3& e = scene.camera.eye;
    out[0] = e.x;
    out[1] = e.y;
    out[2] = e.z;
    if (freeCamera) {
        const Vec3& d = scene.camera.direction;
        out[3] = static_cast<double>(e.x) + d.x;
        out[4] = static_cast<double>(e.y) + d.y;
        out[5] = static_cast<double>(e.z) + d.z;
        out[6] = scene.camera.up.x;
        out[7] = scene.camera.up.y;
        out[8] = scene.camera.up.z;
    } else {
        out[3] = scene.camera.target.x;
        out[4] = scene.camera.target.y;
        out[5] = scene.camera.target.z;
        out[6] = 0.0;
        out[7] = 1.0;
        out[8] = 0.0;
    }
}

void cameraViewUpdate(bool freeCamera, const PathPoint* eyeGoal, const PathPoint* targetGoal,
                      double averageFrameTime, float speedDivisor) {
    if (!freeCamera) {
        cameraFollow(eyeGoal, targetGoal, averageFrameTime, speedDivisor);
    }
    double a[9];
    cameraLookAtArguments(freeCamera, a);
    renderLookAt(a);
}

void cameraMoveForward() {
    scene.camera.eye.x += cameraMovementStep * scene.camera.direction.x;
    scene.camera.eye.y += cameraMovementStep * scene.camera.direction.y;
    scene.camera.eye.z += cameraMovementStep * scene.camera.direction.z;
}

void cameraMoveBack() {
    scene.camera.eye.x -= cameraMovementStep * scene.camera.direction.x;
    scene.camera.eye.y -= cameraMovementStep * scene.camera.direction.y;
    scene.camera.eye.z -= cameraMovementStep * scene.camera.direction.z;
}

// The side vector is left unnormalised on purpose: strafing slows down as the view tilts
// toward the vertical.
void cameraStrafeLeft() {
    Vec3 side;
    vec3Cross(&scene.camera.direction, &scene.camera.up, &side);
    scene.camera.eye.x -= cameraMovementStep * side.x;
    scene.camera.eye.z -= cameraMovementStep * side.z;
}

void cameraStrafeRight() {
    Vec3 side;
    vec3Cross(&scene.camera.direction, &scene.camera.up, &side);
    scene.camera.eye.x += cameraMovementStep * side.x;
    scene.camera.eye.z += cameraMovementStep * side.z;
}

void cameraMouseMoved(int x, int y) {
    if (!scene.camera.mousePositionKnown) {
        scene.camera.lastMouseX = x;
        scene.camera.lastMouseY = y;
        scene.camera.mousePositionKnown = true;
        return;
    }
    float pitch = static_cast<float>((scene.camera.lastMouseY - y) * 180) * cameraMouseTurn;
    float yaw = static_cast<float>((scene.camera.lastMouseX - x) * 180) * cameraMouseTurn;

    Vec3& d = scene.camera.direction;
    double cy = std::cos(static_cast<double>(yaw));
    double sy = std::sin(static_cast<double>(yaw));
    float dx = d.x;
    float dz = d.z;
    d.x = static_cast<float>(dx * cy + dz * sy);
    d.z = static_cast<float>(dz * cy - dx * sy);
    vec3Normalize(&d);

    Vec3 axis;
    vec3Cross(&d, &scene.camera.up, &axis);
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

    scene.camera.lastMouseX = x;
    scene.camera.lastMouseY = y;
}

void cameraMouseLeft() {
    scene.camera.mousePositionKnown = false;
}
