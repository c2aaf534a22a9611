// What the directed edges of a mesh say: whether it is closed, which way it winds, and
// whether some edge is used twice one way.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <algorithm>
#include <cstddef>

using namespace glm_detail;

bool glmTriangleUsable(const GlmTriangle& triangle, std::uint32_t vertexCount) {
    const std::uint32_t* v = triangle.vertexIndex;
    return v[0] != v[1] && v[1] != v[2] && v[0] != v[2] && v[0] - 1u < vertexCount &&
           v[1] - 1u < vertexCount && v[2] - 1u < vertexCount;
}

GlmEdges glmEdges(const GlmModel* model) {
    const std::uint32_t n = model->vertexCount;
    GlmEdges result{0, false, false};
    // Each vertex's row of edge ends leaving it and row of edge starts arriving at it, both
    // sorted: a counting sort fills the arriving rows in triangle order, and filling each kind
    // from the other's rows, row by row, sorts it. Linear in the corners and vertices.
    struct Scratch {
        std::size_t* leavingStart = nullptr; // where each vertex's row begins
        std::size_t* arrivingStart = nullptr;
        std::size_t* fill = nullptr; // where each row goes on, while rows are filled
        std::uint32_t* leaving = nullptr;
        std::uint32_t* arriving = nullptr;
        ~Scratch() {
            release(leavingStart);
            release(arrivingStart);
            release(fill);
            release(leaving);
            release(arriving);
        }
    } rows;
    const char* who = "glmEdges()";
    const std::size_t bounds = std::size_t{n} + 2;
    std::size_t* out = rows.leavingStart =
        static_cast<std::size_t*>(checkedCalloc(bounds, sizeof(std::size_t), who));
    std::size_t* in = rows.arrivingStart =
        static_cast<std::size_t*>(checkedCalloc(bounds, sizeof(std::size_t), who));
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const GlmTriangle& triangle = model->triangles[t];
        if (!glmTriangleUsable(triangle, n)) {
            ++result.leftOut;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            out[triangle.vertexIndex[k] + 1]++;
            in[triangle.vertexIndex[(k + 1) % 3] + 1]++;
        }
    }
    for (std::size_t i = 1; i < bounds; ++i) {
        out[i] += out[i - 1];
        in[i] += in[i - 1];
    }
    const std::size_t edges = out[bounds - 1];
    std::size_t* fill = rows.fill =
        static_cast<std::size_t*>(checkedMalloc(bounds, sizeof(std::size_t), who));
    rows.leaving = static_cast<std::uint32_t*>(checkedMalloc(edges, sizeof(std::uint32_t), who));
    rows.arriving = static_cast<std::uint32_t*>(checkedMalloc(edges, sizeof(std::uint32_t), who));
    std::copy(in, in + bounds, fill);
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        if (glmTriangleUsable(model->triangles[t], n)) {
            for (int k = 0; k < 3; ++k) {
                rows.arriving[fill[v[(k + 1) % 3]]++] = v[k];
            }
        }
    }
    auto transpose = [&](const std::size_t* fromStart, const std::uint32_t* from,
                         const std::size_t* intoStart, std::uint32_t* into) {
        std::copy(intoStart, intoStart + bounds, fill);
        for (std::uint32_t row = 0; row <= n; ++row) {
            for (std::size_t e = fromStart[row]; e < fromStart[row + 1]; ++e) {
                into[fill[from[e]]++] = row;
            }
        }
    };
    transpose(in, rows.arriving, out, rows.leaving);
    transpose(out, rows.leaving, in, rows.arriving);
    // With no edge used twice one way, every edge has its reverse exactly when each vertex's
    // two rows are equal.
    bool reversed = std::equal(out, out + bounds, in);
    for (std::uint32_t row = 0; row <= n; ++row) {
        for (std::size_t e = out[row]; e < out[row + 1]; ++e) {
            result.repeatsOneWay |= e > out[row] && rows.leaving[e] == rows.leaving[e - 1];
            reversed = reversed && rows.leaving[e] == rows.arriving[e];
        }
    }
    result.closed = edges != 0 && result.leftOut == 0 && !result.repeatsOneWay && reversed;
    return result;
}

GlmWinding glmWinding(const GlmModel* model, GlmEdges* edges) {
    const GlmEdges found = glmEdges(model);
    if (edges != nullptr) {
        *edges = found;
    }
    if (!found.closed) {
        return GlmWinding::Open;
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
