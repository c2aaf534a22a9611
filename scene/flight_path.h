// The flight path: a closed route of six cubic Bezier segments through 19 fixed control points.
//
// Contract:
// - Points are in world units, in 64-bit floats, and are copied by value.
// - Path time runs in segments: 0 < T < 1 is a rest at P0, k + 1 <= T < k + 2 is segment k
//   (k = 0 to 5), so a lap lasts 7 units. Each segment's lower bound is inclusive and its
//   upper bound exclusive.
// - A time outside 0 < T < 7 is a programming error: debug builds assert, release builds clamp
//   it to the nearest point of the path (P0 at either end, the path being closed).
// - drawFlightPath needs a current GL context and draws with the state in force.
#pragma once

#include "math/vec3.h"

struct PathPoint {
    double x;
    double y;
    double z;
};

constexpr int flightPathControlPointCount = 19;
constexpr int flightPathSegmentCount = 6;
constexpr double flightPathLapLength = 7.0;

// Segment k runs from point 3k to point 3k + 3; the last point is the first, closing the route.
inline constexpr PathPoint flightPathControlPoints[flightPathControlPointCount] = {
    {5, -2, -5},     {5, -2, 6},   {-6, -2, 6},  {-5, 1, -8},    {-4, 4, -22},
    {-20, 2, -10},   {-20, 2, 0},  {-20, 2, 10}, {10, -30, 100}, {0, -20, 120},
    {-10, -10, 140}, {0, 0, 120},  {0, 20, 100}, {0, 40, 80},    {0, 30, 50},
    {0, 20, 20},     {0, 10, -15}, {5, -2, -16}, {5, -2, -5},
};

// The cubic Bezier segment p0..p3 at t in [0, 1], in power-basis form.
PathPoint bezierPoint(PathPoint p0, PathPoint p1, PathPoint p2, PathPoint p3, double t);
PathPoint flightPathPoint(double pathTime);

// The red strip's vertices, in drawing order, as drawFlightPath emits them: 101 per segment
// (the parameter is accumulated in a 32-bit float, so it takes one more step than a double
// counter would), 606 in all. emit is called as emit(float x, float y, float z).
template <class Emit> void forEachFlightPathSample(Emit emit) {
    for (int k = 0; k < flightPathSegmentCount; ++k) {
        const PathPoint* p = &flightPathControlPoints[3 * k];
        float t = 0.0f;
        double next;
        do {
            PathPoint q = bezierPoint(p[0], p[1], p[2], p[3], static_cast<double>(t));
            emit(static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z));
            next = static_cast<double>(t) + 0.01;
            t = static_cast<float>(next);
        } while (next < 1.0);
    }
}

// Red curve strip, then the green control polygon (all 19 points, closing on itself). Leaves
// the current colour green; sets no other state.
void drawFlightPath();
