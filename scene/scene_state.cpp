// The scene's state and the parts of a frame that need no GL: frame-time averaging, the path
// time, the path points, the ship's rotation and the star positions.
#include "math/random.h"
#include "scene/scene.h"

#include <cmath>

std::uint32_t starList = 0;
double frameTimeHistory[frameTimeHistoryLength];
double averageFrameTime = 0.0;
double pathTime = 0.0;
PathPoint trailPoint;
PathPoint shipPoint;
PathPoint leadPoint;
Vec3 shipDirection;
Vec3 shipAxis = {0.0f, 0.0f, -1.0f};
float shipRotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

namespace {
void setIdentity(float* m) {
    for (int i = 0; i < 16; ++i) {
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
}
} // namespace

Vec3 nextStarPosition() {
    // Height first, then longitude: the order fixes which sky every run shows.
    float h = static_cast<float>(nextRandom() % 2000 - 1000);
    int k = nextRandom() % 359;
    float b = static_cast<float>(k * (1.0 / 359) * 6.28318);
    float a = static_cast<float>(std::asin(static_cast<double>(h) / 1000));
    double ca = std::cos(static_cast<double>(a));
    return Vec3{static_cast<float>(ca * std::cos(static_cast<double>(b)) * 1000),
                static_cast<float>(ca * std::sin(static_cast<double>(b)) * 1000), h};
}

double pushFrameTime(double delta) {
    for (int i = frameTimeHistoryLength - 1; i > 0; --i) {
        frameTimeHistory[i] = frameTimeHistory[i - 1];
    }
    frameTimeHistory[0] = delta;
    double sum = 0.0;
    for (double entry : frameTimeHistory) {
        sum += entry;
    }
    // Always a twentieth, also while the history still holds the zeros from set-up.
    averageFrameTime = sum * 0.05;
    return averageFrameTime;
}

void advanceScene(double averageTime, float divisor) {
    pathTime = pathTime + averageTime / static_cast<double>(divisor);
    if (pathTime >= flightPathLapLength) {
        pathTime = 0.0;
    }
    if (pathTime < 1.0) {
        // The rest phase: fixed points that tilt the waiting ship a little and park the
        // camera's goals behind and above it.
        trailPoint = PathPoint{5.01, -1.0, -8.0};
        shipPoint = PathPoint{5.0, -2.0, -5.0};
        leadPoint = PathPoint{5.0, -2.01, -4.9};
    } else {
        trailPoint = flightPathPoint(pathTime - 0.06);
        shipPoint = flightPathPoint(pathTime - 0.01);
        leadPoint = flightPathPoint(pathTime);
    }
    shipDirection = Vec3{static_cast<float>(shipPoint.x - leadPoint.x),
                         static_cast<float>(shipPoint.y - leadPoint.y),
                         static_cast<float>(shipPoint.z - leadPoint.z)};
}

void updateShipRotation() {
    float angle = vec3AngleDeg(&shipDirection, &shipAxis);
    // A direction too short to normalise (zero at path time exactly 1, where ship and lead
    // point are both P0) says nothing about where the ship heads: keep last frame's turn.
    if (vec3Dot(&shipDirection, &shipDirection) < 0.5f) {
        return;
    }
    Vec3 axis;
    vec3Cross(&shipAxis, &shipDirection, &axis);
    vec3Normalize(&axis);
    if (vec3Dot(&axis, &axis) < 0.5f) {
        // Parallel to the ship axis: no axis to turn about. Along it, no turn is needed; against
        // it, any perpendicular axis gives the half turn, and +y keeps the ship upright.
        if (vec3Dot(&shipDirection, &shipAxis) > 0.0f) {
            setIdentity(shipRotation);
        } else {
            axisAngleMatrix(0.0f, 1.0f, 0.0f, 180.0f, shipRotation);
        }
        return;
    }
    axisAngleMatrix(axis.x, axis.y, axis.z, angle, shipRotation);
}

void resetSceneState() {
    starList = 0;
    for (double& entry : frameTimeHistory) {
        entry = 0.0;
    }
    averageFrameTime = 0.0;
    pathTime = 0.0;
    trailPoint = PathPoint{};
    shipPoint = PathPoint{};
    leadPoint = PathPoint{};
    shipDirection = Vec3{};
    shipAxis = Vec3{0.0f, 0.0f, -1.0f};
    setIdentity(shipRotation);
}
