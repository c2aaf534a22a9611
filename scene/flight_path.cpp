#include "scene/flight_path.h"

#include <cassert>

namespace {
double bezierComponent(double p0, double p1, double p2, double p3, double t) {
    double u = 3 * (p1 - p0);
    double v = 3 * (p2 - p1) - u;
    double w = p3 - p0 - u - v;
    return ((w * t + v) * t + u) * t + p0;
}
} // namespace

PathPoint bezierPoint(PathPoint p0, PathPoint p1, PathPoint p2, PathPoint p3, double t) {
    return PathPoint{bezierComponent(p0.x, p1.x, p2.x, p3.x, t),
                     bezierComponent(p0.y, p1.y, p2.y, p3.y, t),
                     bezierComponent(p0.z, p1.z, p2.z, p3.z, t)};
}

PathPoint flightPathPoint(double pathTime) {
    const PathPoint* p = flightPathControlPoints;
    bool inRange = pathTime > 0.0 && pathTime < flightPathLapLength;
    assert(inRange && "flightPathPoint: path time must lie in 0 < T < 7; wrap it first");
    if (!inRange) {
        // Both ends of the closed path are P0 (this also catches NaN).
        return p[0];
    }
    if (pathTime < 1.0) {
        return p[0];
    }
    const int k = static_cast<int>(pathTime) - 1;
    return bezierPoint(p[3 * k], p[3 * k + 1], p[3 * k + 2], p[3 * k + 3], pathTime - (k + 1));
}
