#include "toon/toon_model.h"

#include "math/random.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

void smoothToonShades(float* shades, int count) {
    // 1/6 and 1/7 rounded to single precision; every sum below is stored as a float before the
    // next entry reads it, so the results match a run that did the same in 32 bits.
    const float sixth = 0.16666667f;
    const float seventh = 0.14285715f;
    int last = count - 1;
    shades[0] = shades[0] * 5 * sixth + shades[1] * sixth;
    for (int i = 1; i < last; ++i) {
        shades[i] = shades[i] * 5 * seventh + shades[i - 1] * seventh + shades[i + 1] * seventh;
    }
    shades[last] = shades[last - 1] * sixth + shades[last] * 5 * sixth;
    for (int i = 0; i < count; ++i) {
        shades[i] = std::clamp(shades[i], 0.0f, 1.0f);
    }
}

void computeToonRamp(std::int32_t flags, int shadeCount, const float* coolColor,
                     const float* warmColor, float texels[][3]) {
    int n = shadeCount;
    for (int k = 0; k < n; ++k) {
        float m = static_cast<float>((static_cast<double>(k) / (n - 1) + 1.0) * 0.5);
        for (int c = 0; c < 3; ++c) {
            texels[k][c] =
                (flags & TOON_GRADIENT) ? (1.0f - m) * coolColor[c] + m * warmColor[c] : 1.0f;
        }
    }
    if (flags & TOON_RANDOM_SHADES) {
        float shades[toonMaxShades];
        for (int i = 0; i < n; ++i) {
            shades[i] = static_cast<float>((nextRandom() % 100) * 0.01);
        }
        smoothToonShades(shades, n);
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 3; ++c) {
                texels[i][c] = texels[i][c] * shades[i];
            }
        }
    }
}

// One entry per distinct (vertex, normal) pair, so that the GL transforms each once.
void buildToonCorners(ToonModel* toon) {
    const GlmModel* model = toon->model;
    const std::size_t corners = 3 * std::size_t{model->triangleCount};
    toon->cornerIndices.resize(corners);
    std::unordered_map<std::uint64_t, std::uint32_t> seen;
    seen.reserve(corners);
    std::vector<std::uint64_t> order;
    for (std::size_t c = 0; c < corners; ++c) {
        const GlmTriangle& t = model->triangles[c / 3];
        std::uint64_t key = std::uint64_t{t.vertexIndex[c % 3]} << 32 | t.normalIndex[c % 3];
        auto [entry, added] = seen.try_emplace(key, static_cast<std::uint32_t>(order.size()));
        if (added) {
            order.push_back(key);
        }
        toon->cornerIndices[c] = entry->second;
    }
    toon->cornerPositions.resize(3 * order.size());
    toon->cornerNormals.resize(order.size());
    toon->cornerShades.resize(order.size());
    for (std::size_t u = 0; u < order.size(); ++u) {
        const Vec3& v = model->vertices[order[u] >> 32];
        toon->cornerPositions[3 * u] = v.x;
        toon->cornerPositions[3 * u + 1] = v.y;
        toon->cornerPositions[3 * u + 2] = v.z;
        toon->cornerNormals[u] = static_cast<std::uint32_t>(order[u]);
    }
    toon->normalShades.assign(std::size_t{model->normalCount} + 1, 0.0f);
    float radius = 0.0f;
    for (std::size_t u = 0; u < order.size(); ++u) {
        const float* p = &toon->cornerPositions[3 * u];
        radius = std::max(radius, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
    }
    toon->boundRadius = radius;
}

bool toonOutsideView(const ToonModel& toon, const float* projection, const float* modelview,
                     int viewportWidth, int viewportHeight, float lineWidth) {
    if (viewportWidth <= 0 || viewportHeight <= 0) {
        return false;
    }
    const int viewport[4] = {0, 0, viewportWidth, viewportHeight};
    // A width the GL rejects leaves the current one in force; a larger one is clamped.
    double pad =
        std::max(static_cast<double>(lineWidth),
                 std::isfinite(toon.lineWidth) ? static_cast<double>(toon.lineWidth) : 0.0) /
            2.0 +
        1.0;
    double clip[16]; // projection x modelview, column-major
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(projection[4 * k + r]) * modelview[4 * c + k];
            }
            clip[4 * c + r] = sum;
        }
    }
    double radius = static_cast<double>(toon.boundRadius) * 1.001 + 1e-6;
    for (int axis = 0; axis < 3; ++axis) {
        // -w <= x_axis <= w, with w scaled up by the padding in device units on x and y.
        double widen = axis < 2 ? 1.0 + 2.0 * pad / viewport[2 + axis] : 1.0;
        for (double side : {-1.0, 1.0}) {
            double plane[4];
            for (int i = 0; i < 4; ++i) {
                plane[i] = widen * clip[4 * i + 3] + side * clip[4 * i + axis];
            }
            double length =
                std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
            if (plane[3] < -radius * length) {
                return true;
            }
        }
    }
    return false;
}

Vec3 toonEyeInModel(const float* m) {
    // The eye e solves A e + t = 0 for the matrix's 3 x 3 part A and translation t: Cramer's rule.
    auto det = [](const double(&x)[3][3]) {
        return x[0][0] * (x[1][1] * x[2][2] - x[1][2] * x[2][1]) -
               x[0][1] * (x[1][0] * x[2][2] - x[1][2] * x[2][0]) +
               x[0][2] * (x[1][0] * x[2][1] - x[1][1] * x[2][0]);
    };
    const double a[3][3] = {{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}};
    double eye[3];
    for (int c = 0; c < 3; ++c) {
        double b[3][3];
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) {
                b[r][k] = k == c ? -m[12 + r] : a[r][k];
            }
        }
        eye[c] = det(b) / det(a);
    }
    return Vec3{static_cast<float>(eye[0]), static_cast<float>(eye[1]), static_cast<float>(eye[2])};
}
