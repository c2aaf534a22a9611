// Facet normals and smoothed vertex normals.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace glm_detail;

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
