// Closed-ness and winding of a loaded model, computed from its triangles alone.
#pragma once

#include "model/glm.h"

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <utility>

struct MeshReport {
    bool closed = true;
    std::string problem;
    // Sum of the triangles' signed tetrahedron volumes against the origin, with the
    // counter-clockwise-is-front convention: negative for a closed mesh wound clockwise as
    // seen from outside.
    double signedVolume = 0;
};

// Closed means every directed edge occurs exactly once and its reverse exactly once, so each
// edge joins exactly two triangles that run along it in opposite directions.
inline MeshReport inspectMesh(const GlmModel* model) {
    MeshReport report;
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const GlmTriangle& tri = model->triangles[t];
        for (int k = 0; k < 3; ++k) {
            ++edges[{tri.vertexIndex[k], tri.vertexIndex[(k + 1) % 3]}];
        }
        const Vec3& a = model->vertices[tri.vertexIndex[0]];
        const Vec3& b = model->vertices[tri.vertexIndex[1]];
        const Vec3& c = model->vertices[tri.vertexIndex[2]];
        double cx = static_cast<double>(b.y) * c.z - static_cast<double>(b.z) * c.y;
        double cy = static_cast<double>(b.z) * c.x - static_cast<double>(b.x) * c.z;
        double cz = static_cast<double>(b.x) * c.y - static_cast<double>(b.y) * c.x;
        report.signedVolume += (a.x * cx + a.y * cy + a.z * cz) / 6.0;
    }
    for (const auto& [edge, count] : edges) {
        auto reverse = edges.find({edge.second, edge.first});
        int reverseCount = reverse == edges.end() ? 0 : reverse->second;
        if (count != 1 || reverseCount != 1) {
            std::ostringstream out;
            out << "edge " << edge.first << " -> " << edge.second << " occurs " << count
                << " times, its reverse " << reverseCount << " times";
            report.closed = false;
            report.problem = out.str();
            break;
        }
    }
    return report;
}
