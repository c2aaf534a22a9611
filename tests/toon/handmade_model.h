// GlmModel records built in memory, so the drawing is tested apart from the reader.
#pragma once

#include "model/glm.h"

#include <cmath>
#include <cstdint>
#include <vector>

struct HandmadeModel {
    std::vector<Vec3> vertices{Vec3{0, 0, 0}};
    std::vector<Vec3> normals{Vec3{0, 0, 0}};
    std::vector<GlmTriangle> triangles;
    GlmModel model{};

    std::uint32_t addVertex(Vec3 v) {
        vertices.push_back(v);
        return static_cast<std::uint32_t>(vertices.size() - 1);
    }
    std::uint32_t addNormal(Vec3 n) {
        normals.push_back(n);
        return static_cast<std::uint32_t>(normals.size() - 1);
    }
    void addTriangle(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t na,
                     std::uint32_t nb, std::uint32_t nc) {
        GlmTriangle t{};
        t.vertexIndex[0] = a;
        t.vertexIndex[1] = b;
        t.vertexIndex[2] = c;
        t.normalIndex[0] = na;
        t.normalIndex[1] = nb;
        t.normalIndex[2] = nc;
        triangles.push_back(t);
    }
    // Points the record at the vectors; call again after adding anything.
    GlmModel* finish() {
        model.vertexCount = static_cast<std::uint32_t>(vertices.size() - 1);
        model.vertices = vertices.data();
        model.normalCount = static_cast<std::uint32_t>(normals.size() - 1);
        model.normals = normals.data();
        model.triangleCount = static_cast<std::uint32_t>(triangles.size());
        model.triangles = triangles.data();
        return &model;
    }
};

// A unit sphere, closed and wound clockwise seen from outside, with each vertex's normal its
// own position.
inline void buildSphere(HandmadeModel& m, int slices, int stacks, float radius) {
    const double pi = 3.14159265358979323846;
    std::uint32_t top = m.addVertex(Vec3{0, radius, 0});
    m.addNormal(Vec3{0, 1, 0});
    std::uint32_t first = top + 1;
    for (int i = 1; i < stacks; ++i) {
        double lat = pi / 2 - pi * i / stacks;
        for (int j = 0; j < slices; ++j) {
            double lon = 2 * pi * j / slices;
            Vec3 n{static_cast<float>(std::cos(lat) * std::cos(lon)),
                   static_cast<float>(std::sin(lat)),
                   static_cast<float>(-std::cos(lat) * std::sin(lon))};
            m.addVertex(Vec3{n.x * radius, n.y * radius, n.z * radius});
            m.addNormal(n);
        }
    }
    std::uint32_t bottom = m.addVertex(Vec3{0, -radius, 0});
    m.addNormal(Vec3{0, -1, 0});
    auto at = [&](int ring, int j) {
        return first + static_cast<std::uint32_t>(ring * slices + (j % slices));
    };
    // Longitude grows counter-clockwise seen from +y, so (a, b, c) below runs clockwise seen
    // from outside.
    for (int j = 0; j < slices; ++j) {
        std::uint32_t a = top, b = at(0, j + 1), c = at(0, j);
        m.addTriangle(a, b, c, a, b, c);
    }
    for (int i = 0; i + 1 < stacks - 1; ++i) {
        for (int j = 0; j < slices; ++j) {
            std::uint32_t a = at(i, j), b = at(i, j + 1), c = at(i + 1, j), d = at(i + 1, j + 1);
            m.addTriangle(a, b, c, a, b, c);
            m.addTriangle(b, d, c, b, d, c);
        }
    }
    for (int j = 0; j < slices; ++j) {
        std::uint32_t a = bottom, b = at(stacks - 2, j), c = at(stacks - 2, j + 1);
        m.addTriangle(a, b, c, a, b, c);
    }
    m.finish();
}
