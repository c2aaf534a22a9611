#include "scene/scene_state.h"

#include "math/random.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

SceneState scene;

void formatSpeedText(float speedDivisor, char (&text)[64]) {
    std::snprintf(text, sizeof text, "Speed: %f", 1.0 / static_cast<double>(speedDivisor));
}

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
    double* history = scene.frameTimeHistory;
    std::shift_right(history, history + frameTimeHistoryLength, 1);
    history[0] = delta;
    // Always a twentieth, also while the history still holds the zeros from set-up.
    scene.averageFrameTime = std::accumulate(history, history + frameTimeHistoryLength, 0.0) * 0.05;
    return scene.averageFrameTime;
}

void advanceScene(double averageTime, float divisor) {
    scene.pathTime = scene.pathTime + averageTime / static_cast<double>(divisor);
    if (scene.pathTime >= flightPathLapLength) {
        scene.pathTime = 0.0;
    }
    if (scene.pathTime < 1.0) {
        // The rest phase: fixed points that tilt the waiting ship a little and park the
        // camera's goals behind and above it.
        scene.trailPoint = PathPoint{5.01, -1.0, -8.0};
        scene.shipPoint = PathPoint{5.0, -2.0, -5.0};
        scene.leadPoint = PathPoint{5.0, -2.01, -4.9};
    } else {
        scene.trailPoint = flightPathPoint(scene.pathTime - 0.06);
        scene.shipPoint = flightPathPoint(scene.pathTime - 0.01);
        scene.leadPoint = flightPathPoint(scene.pathTime);
    }
    scene.shipDirection = Vec3{static_cast<float>(scene.shipPoint.x - scene.leadPoint.x),
                               static_cast<float>(scene.shipPoint.y - scene.leadPoint.y),
                               static_cast<float>(scene.shipPoint.z - scene.leadPoint.z)};
}

void updateShipRotation() {
    float angle = vec3AngleDeg(&scene.shipDirection, &scene.shipAxis);
    // A direction too short to normalise (zero at path time exactly 1, where ship and lead
    // point are both P0) says nothing about where the ship heads: keep last frame's turn.
    if (vec3Dot(&scene.shipDirection, &scene.shipDirection) < 0.5f) {
        return;
    }
    Vec3 axis;
    vec3Cross(&scene.shipAxis, &scene.shipDirection, &axis);
    vec3Normalize(&axis);
    if (vec3Dot(&axis, &axis) < 0.5f) {
        // Parallel to the ship axis: no axis to turn about. Along it, no turn is needed; against
        // it, any perpendicular axis gives the half turn, and +y keeps the ship upright.
        const float turn = vec3Dot(&scene.shipDirection, &scene.shipAxis) > 0.0f ? 0.0f : 180.0f;
        axisAngleMatrix(0.0f, 1.0f, 0.0f, turn, scene.shipRotation);
        return;
    }
    axisAngleMatrix(axis.x, axis.y, axis.z, angle, scene.shipRotation);
}

void resetScene() {
    SceneState fresh;
    fresh.spaceship = scene.spaceship;
    fresh.deathstar = scene.deathstar;
    fresh.lego = scene.lego;
    fresh.surface = scene.surface;
    fresh.torus = scene.torus;
    scene = fresh;
    resetRandom();
}
