#include "view/winding.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Positive when most of the area faces away from the centre with counter-clockwise corners;
// 0 when the vote is lost in rounding (a flat sheet has every facet side on to the centre).
double outwardVote(const GlmModel& model) {
    const std::uint32_t n = model.vertexCount;
    if (n == 0) {
        return 0.0;
    }
    const Vec3* v = model.vertices;
    double low[3] = {v[1].x, v[1].y, v[1].z};
    double high[3] = {low[0], low[1], low[2]};
    for (std::uint32_t i = 1; i <= n; ++i) {
        const double p[3] = {v[i].x, v[i].y, v[i].z};
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], p[c]);
            high[c] = std::max(high[c], p[c]);
        }
    }
    double centre[3];
    for (int c = 0; c < 3; ++c) {
        centre[c] = (low[c] + high[c]) * 0.5;
    }
    double vote = 0.0;
    double area = 0.0;
    for (std::uint32_t t = 0; t < model.triangleCount; ++t) {
        const GlmTriangle& triangle = model.triangles[t];
        if (!glmTriangleUsable(triangle, n)) {
            continue;
        }
        const Vec3& a = v[triangle.vertexIndex[0]];
        const Vec3& b = v[triangle.vertexIndex[1]];
        const Vec3& c = v[triangle.vertexIndex[2]];
        const double u[3] = {double{b.x} - a.x, double{b.y} - a.y, double{b.z} - a.z};
        const double w[3] = {double{c.x} - a.x, double{c.y} - a.y, double{c.z} - a.z};
        // Twice the area along the facet normal.
        const double normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                  u[0] * w[1] - u[1] * w[0]};
        double out[3];
        for (int k = 0; k < 3; ++k) {
            const double corners[3] = {(&a.x)[k], (&b.x)[k], (&c.x)[k]};
            out[k] = (corners[0] + corners[1] + corners[2]) / 3.0 - centre[k];
        }
        const double distance = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
        if (distance > 0.0 && std::isfinite(distance)) {
            vote += (normal[0] * out[0] + normal[1] * out[1] + normal[2] * out[2]) / distance;
        }
        area += std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    }
    return std::isfinite(vote) && std::abs(vote) > 1e-6 * area ? vote : 0.0;
}

} // namespace

Orientation decideOrientation(const GlmModel& model) {
    const bool counterClockwise = outwardVote(model) >= 0.0;
    GlmEdges edges;
    const GlmWinding winding = glmWinding(&model, &edges);
    if (edges.repeatsOneWay) {
        return Orientation{Orientation::Kind::Mixed, counterClockwise};
    }
    if (winding == GlmWinding::Open) {
        return Orientation{Orientation::Kind::Open, counterClockwise};
    }
    return Orientation{Orientation::Kind::Closed, winding == GlmWinding::CounterClockwise};
}

std::string orientationText(const Orientation& orientation) {
    const char* side = orientation.counterClockwise ? "counter-clockwise" : "clockwise";
    switch (orientation.kind) {
    case Orientation::Kind::Closed:
        return side;
    case Orientation::Kind::Open:
        return std::string("open, mostly ") + side;
    case Orientation::Kind::Mixed:
        break;
    }
    return "mixed";
}
