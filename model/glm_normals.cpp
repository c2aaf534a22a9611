// Unit scaling, facet normals, smoothed vertex normals and the winding check.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

using namespace glm_detail;

double glmScaleToUnit(GlmModel* model) {
    if (model->vertexCount == 0 || model->vertices == nullptr) {
        return 1.0;
    }
    const Vec3* v = model->vertices;
    float maxx = v[1].x, minx = v[1].x;
    float maxy = v[1].y, miny = v[1].y;
    float maxz = v[1].z, minz = v[1].z;
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        if (maxx < v[i].x) {
            maxx = v[i].x;
        }
        if (minx > v[i].x) {
            minx = v[i].x;
        }
        if (maxy < v[i].y) {
            maxy = v[i].y;
        }
        if (miny > v[i].y) {
            miny = v[i].y;
        }
        if (maxz < v[i].z) {
            maxz = v[i].z;
        }
        if (minz > v[i].z) {
            minz = v[i].z;
        }
    }
    // The sum in double is the float sum exactly, except that it cannot overflow.
    float cx = static_cast<float>((static_cast<double>(maxx) + minx) * 0.5);
    float cy = static_cast<float>((static_cast<double>(maxy) + miny) * 0.5);
    float cz = static_cast<float>((static_cast<double>(maxz) + minz) * 0.5);
    float w = floatAbs(maxx) + floatAbs(minx);
    float h = floatAbs(maxy) + floatAbs(miny);
    float d = floatAbs(maxz) + floatAbs(minz);
    float largest = floatMax(floatMax(w, h), d);
    double scale;
    if (largest == 0.0f) {
        // Every coordinate is 0 (|max| + |min| is 0 only then): nothing to scale.
        scale = 1.0;
    } else if (std::isinf(largest)) {
        // Coordinates near the float limit: the dimension overflowed a float, not a double.
        double wd = static_cast<double>(floatAbs(maxx)) + floatAbs(minx);
        double hd = static_cast<double>(floatAbs(maxy)) + floatAbs(miny);
        double dd = static_cast<double>(floatAbs(maxz)) + floatAbs(minz);
        double big = wd > hd ? wd : hd;
        big = dd > big ? dd : big;
        scale = 2.0 / big;
    } else {
        scale = 2.0 / largest;
    }
    Vec3* out = model->vertices;
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        float x = out[i].x - cx;
        float y = out[i].y - cy;
        float z = out[i].z - cz;
        out[i].x = static_cast<float>(x * scale);
        out[i].y = static_cast<float>(y * scale);
        out[i].z = static_cast<float>(z * scale);
    }
    return scale;
}

namespace {

// A cross product that overflowed a float (corners far apart, unscaled) is redone in double,
// so that the normal comes out finite and of unit length all the same.
void facetNormalInDouble(const Vec3& p0, const Vec3& p1, const Vec3& p2, Vec3* out) {
    double ux = static_cast<double>(p1.x) - p0.x, uy = static_cast<double>(p1.y) - p0.y,
           uz = static_cast<double>(p1.z) - p0.z;
    double wx = static_cast<double>(p2.x) - p0.x, wy = static_cast<double>(p2.y) - p0.y,
           wz = static_cast<double>(p2.z) - p0.z;
    double x = uy * wz - uz * wy;
    double y = uz * wx - ux * wz;
    double z = ux * wy - uy * wx;
    double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0) || !std::isfinite(length)) {
        *out = Vec3{0.0f, 0.0f, 0.0f};
        return;
    }
    *out = Vec3{static_cast<float>(x / length), static_cast<float>(y / length),
                static_cast<float>(z / length)};
}

bool finite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

void glmFacetNormals(GlmModel* model) {
    release(model->facetNormals);
    model->facetNormals = nullptr;
    model->facetNormalCount = 0;
    auto* normals = static_cast<Vec3*>(
        checkedMalloc(std::size_t{model->triangleCount} + 1, sizeof(Vec3), "glmFacetNormals()"));
    model->facetNormals = normals;
    model->facetNormalCount = model->triangleCount;
    normals[0] = Vec3{0.0f, 0.0f, 0.0f};
    const Vec3* v = model->vertices;
    for (std::uint32_t i = 0; i < model->triangleCount; ++i) {
        GlmTriangle& t = model->triangles[i];
        t.facetNormalIndex = i + 1;
        const std::uint32_t* idx = t.vertexIndex;
        // A hand-built triangle naming no vertex gets the zero normal.
        if (idx[0] - 1u >= model->vertexCount || idx[1] - 1u >= model->vertexCount ||
            idx[2] - 1u >= model->vertexCount) {
            normals[i + 1] = Vec3{0.0f, 0.0f, 0.0f};
            continue;
        }
        const Vec3& p0 = v[idx[0]];
        const Vec3& p1 = v[idx[1]];
        const Vec3& p2 = v[idx[2]];
        Vec3 u{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
        Vec3 w{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
        Vec3 n;
        vec3Cross(&u, &w, &n);
        // A zero-area triangle's cross product is (0, 0, 0), which vec3Normalize leaves zero.
        vec3Normalize(&n);
        if (!finite(n)) {
            facetNormalInDouble(p0, p1, p2, &n);
        }
        normals[i + 1] = n;
    }
}

void glmVertexNormals(GlmModel* model, float angle) {
    const char* who = "glmVertexNormals()";
    if (model->facetNormals == nullptr) {
        glmFacetNormals(model);
    }
    float limit = static_cast<float>(
        std::cos(static_cast<double>(angle) * static_cast<double>(3.14159274f) * (1.0 / 180.0)));

    release(model->normals);
    model->normals = nullptr;
    model->normalCount = 0;

    const std::uint32_t vertexCount = model->vertexCount;
    const std::uint64_t corners = 3 * std::uint64_t{model->triangleCount};
    if (corners + 1 > std::numeric_limits<std::uint32_t>::max()) {
        fatal(GlmStream::Err, std::string(who) + " failed: too many triangles.\n");
    }
    const GlmTriangle* triangles = model->triangles;

    // The per-vertex lists as one array in list order (compressed rows): vertex i's entries
    // are entries[start[i] .. start[i + 1]), highest triangle first and, within a triangle,
    // the last slot first, exactly the order of insertion at the head of a linked list. Each
    // entry is a corner (3 * triangle + slot), so it also knows which slot it stands for.
    struct Scratch {
        std::uint32_t* start = nullptr;
        std::uint32_t* entries = nullptr;
        std::uint32_t* fill = nullptr;
        unsigned char* averaged = nullptr;
        Vec3* normals = nullptr;
        ~Scratch() {
            release(start);
            release(entries);
            release(fill);
            release(averaged);
            release(normals);
        }
    } scratch;
    scratch.start =
        static_cast<std::uint32_t*>(checkedCalloc(std::size_t{vertexCount} + 2, 4, who));
    scratch.entries = static_cast<std::uint32_t*>(checkedMalloc(corners, 4, who));
    scratch.normals = static_cast<Vec3*>(checkedMalloc(corners + 1, sizeof(Vec3), who));
    std::uint32_t* start = scratch.start;
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        for (int s = 0; s < 3; ++s) {
            std::uint32_t v = triangles[t].vertexIndex[s];
            if (v - 1u < vertexCount) {
                start[v + 1]++;
            }
        }
    }
    std::uint32_t longest = 0;
    for (std::uint32_t i = 1; i <= vertexCount; ++i) {
        longest = start[i + 1] > longest ? start[i + 1] : longest;
        start[i + 1] += start[i];
    }
    scratch.averaged = static_cast<unsigned char*>(checkedMalloc(longest, 1, who));
    // Visiting corners backwards appends each row in list order.
    scratch.fill = static_cast<std::uint32_t*>(checkedMalloc(std::size_t{vertexCount} + 2, 4, who));
    std::memcpy(scratch.fill, start, (std::size_t{vertexCount} + 2) * 4);
    for (std::uint32_t t = model->triangleCount; t-- > 0;) {
        for (int s = 2; s >= 0; --s) {
            std::uint32_t v = triangles[t].vertexIndex[s];
            if (v - 1u < vertexCount) {
                scratch.entries[scratch.fill[v]++] = 3 * t + static_cast<std::uint32_t>(s);
            }
        }
    }

    const Vec3* facets = model->facetNormals;
    Vec3* normals = scratch.normals;
    unsigned char* averaged = scratch.averaged;
    std::uint32_t next = 1;
    for (std::uint32_t i = 1; i <= vertexCount; ++i) {
        const std::uint32_t* list = scratch.entries + start[i];
        const std::uint32_t length = start[i + 1] - start[i];
        if (length == 0) {
            glmNotify(GlmStream::Err, "glmVertexNormals(): vertex w/o a triangle\n");
            continue;
        }
        const Vec3* reference = &facets[triangles[list[0] / 3].facetNormalIndex];
        Vec3 sum{0.0f, 0.0f, 0.0f};
        bool any = false;
        for (std::uint32_t e = 0; e < length; ++e) {
            const Vec3* facet = &facets[triangles[list[e] / 3].facetNormalIndex];
            if (vec3Dot(reference, facet) > limit) {
                averaged[e] = 1;
                sum.x = sum.x + facet->x;
                sum.y = sum.y + facet->y;
                sum.z = sum.z + facet->z;
                any = true;
            } else {
                averaged[e] = 0;
            }
        }
        std::uint32_t average = 0;
        if (any) {
            vec3Normalize(&sum);
            average = next++;
            normals[average] = sum;
        }
        for (std::uint32_t e = 0; e < length; ++e) {
            // The entry's own slot: for a triangle naming vertex i once this is the first slot
            // that names it; a triangle naming it twice or thrice gets every such slot set.
            GlmTriangle& t = model->triangles[list[e] / 3];
            std::uint32_t slot = list[e] % 3;
            if (averaged[e]) {
                t.normalIndex[slot] = average;
            } else {
                normals[next] = facets[t.facetNormalIndex];
                t.normalIndex[slot] = next++;
            }
        }
    }

    // The temporary array has room for the worst case; the model keeps only what was used.
    // Shrinking in place gives the same array as allocating the exact size and copying.
    std::uint32_t count = next - 1;
    normals[0] = Vec3{0.0f, 0.0f, 0.0f};
    void* exact = std::realloc(scratch.normals, (std::size_t{count} + 1) * sizeof(Vec3));
    if (exact != nullptr) {
        scratch.normals = nullptr;
        model->normals = static_cast<Vec3*>(exact);
    } else {
        auto* result = static_cast<Vec3*>(checkedCalloc(std::size_t{count} + 1, sizeof(Vec3), who));
        std::memcpy(result, normals, (std::size_t{count} + 1) * sizeof(Vec3));
        model->normals = result;
    }
    model->normalCount = count;
}

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
