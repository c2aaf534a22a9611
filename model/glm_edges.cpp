// What the directed edges of a mesh say: whether it is closed, which way it winds, and
// whether some edge is used twice one way.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <algorithm>
#include <cstddef>
#include <vector>

using namespace glm_detail;

GlmWinding glmWinding(const GlmModel* model) {
    const std::uint32_t n = model->vertexCount;
    const std::size_t edges = 3 * std::size_t{model->triangleCount};
    // Every edge used exactly twice in opposite directions: each vertex's sorted list of edge
    // ends leaving it equals its sorted list of edge starts arriving at it, and repeats none.
    // Counting sorts build both lists as rows of one array each, linear in the corners. An index
    // beyond the vertices names no vertex, so the mesh is open (a closed one could not be
    // measured).
    struct Scratch {
        std::size_t* start = nullptr; // where each vertex's row begins
        std::size_t* fill = nullptr;  // where it goes on, while the rows are filled
        std::uint32_t* leaving = nullptr;
        std::uint32_t* arriving = nullptr;
        ~Scratch() {
            release(start);
            release(fill);
            release(leaving);
            release(arriving);
        }
    } rows;
    const char* who = "glmWinding()";
    const std::size_t bounds = std::size_t{n} + 2;
    std::size_t* start = rows.start =
        static_cast<std::size_t*>(checkedCalloc(bounds, sizeof(std::size_t), who));
    std::size_t* fill = rows.fill =
        static_cast<std::size_t*>(checkedCalloc(bounds, sizeof(std::size_t), who));
    // Edges leaving each vertex counted into `start`, those arriving into `fill`: a closed mesh
    // has as many of each.
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2] || v[0] > n || v[1] > n || v[2] > n) {
            return GlmWinding::Open;
        }
        for (int k = 0; k < 3; ++k) {
            start[v[k] + 1]++;
            fill[v[(k + 1) % 3] + 1]++;
        }
    }
    if (edges == 0 || !std::equal(start, start + bounds, fill)) {
        return GlmWinding::Open;
    }
    for (std::uint32_t i = 1; i <= n + 1; ++i) {
        start[i] += start[i - 1];
    }
    rows.leaving = static_cast<std::uint32_t*>(checkedMalloc(edges, sizeof(std::uint32_t), who));
    rows.arriving = static_cast<std::uint32_t*>(checkedMalloc(edges, sizeof(std::uint32_t), who));
    // The arriving rows unsorted, then each kind sorted by filling it from the other's rows in
    // their order.
    std::copy(start, start + bounds, fill);
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        for (int k = 0; k < 3; ++k) {
            rows.arriving[fill[v[(k + 1) % 3]]++] = v[k];
        }
    }
    auto transpose = [&](const std::uint32_t* from, std::uint32_t* into) {
        std::copy(start, start + bounds, fill);
        for (std::uint32_t row = 0; row <= n; ++row) {
            for (std::size_t e = start[row]; e < start[row + 1]; ++e) {
                into[fill[from[e]]++] = row;
            }
        }
    };
    transpose(rows.arriving, rows.leaving);
    transpose(rows.leaving, rows.arriving);
    for (std::uint32_t row = 0; row <= n; ++row) {
        for (std::size_t e = start[row]; e < start[row + 1]; ++e) {
            if (rows.leaving[e] != rows.arriving[e] ||
                (e > start[row] && rows.leaving[e] == rows.leaving[e - 1])) {
                return GlmWinding::Open; // an edge without its reverse, or used twice one way
            }
        }
    }
    // Six times the signed volume: positive when the facet normals point out.
    double volume = 0.0;
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        const Vec3& a = model->vertices[v[0]];
        const Vec3& b = model->vertices[v[1]];
        const Vec3& c = model->vertices[v[2]];
        double cx = static_cast<double>(b.y) * c.z - static_cast<double>(b.z) * c.y;
        double cy = static_cast<double>(b.z) * c.x - static_cast<double>(b.x) * c.z;
        double cz = static_cast<double>(b.x) * c.y - static_cast<double>(b.y) * c.x;
        volume += a.x * cx + a.y * cy + a.z * cz;
    }
    if (volume > 0.0) {
        return GlmWinding::CounterClockwise;
    }
    if (volume < 0.0) {
        return GlmWinding::Clockwise;
    }
    return GlmWinding::Open;
}

namespace {
bool usable(const GlmTriangle& t, std::uint32_t vertexCount) {
    const std::uint32_t* v = t.vertexIndex;
    return v[0] != v[1] && v[1] != v[2] && v[0] != v[2] && v[0] - 1u < vertexCount &&
           v[1] - 1u < vertexCount && v[2] - 1u < vertexCount;
}

} // namespace

bool glmEdgeRepeatsOneWay(const GlmModel* mesh) {
    const GlmModel& model = *mesh;
    const std::uint32_t n = model.vertexCount;
    // Rows of edge ends by start vertex, filled by a counting sort; each row is short.
    std::vector<std::size_t> start(std::size_t{n} + 2, 0);
    for (std::uint32_t t = 0; t < model.triangleCount; ++t) {
        const GlmTriangle& triangle = model.triangles[t];
        if (usable(triangle, n)) {
            for (std::uint32_t v : triangle.vertexIndex) {
                ++start[v + 1];
            }
        }
    }
    for (std::size_t i = 1; i < start.size(); ++i) {
        start[i] += start[i - 1];
    }
    std::vector<std::uint32_t> ends(start.back());
    std::vector<std::size_t> fill(start.begin(), start.end() - 1);
    for (std::uint32_t t = 0; t < model.triangleCount; ++t) {
        const GlmTriangle& triangle = model.triangles[t];
        if (usable(triangle, n)) {
            for (int k = 0; k < 3; ++k) {
                ends[fill[triangle.vertexIndex[k]]++] = triangle.vertexIndex[(k + 1) % 3];
            }
        }
    }
    for (std::size_t row = 1; row + 1 < start.size(); ++row) {
        auto first = ends.begin() + static_cast<std::ptrdiff_t>(start[row]);
        auto last = ends.begin() + static_cast<std::ptrdiff_t>(start[row + 1]);
        std::sort(first, last);
        if (std::adjacent_find(first, last) != last) {
            return true;
        }
    }
    return false;
}
