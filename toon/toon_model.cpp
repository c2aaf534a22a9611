#include "toon/toon_model.h"

#include "math/random.h"

#include <GL/gl.h>

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
        if (shades[i] < 0.0f) {
            shades[i] = 0.0f;
        } else if (shades[i] > 1.0f) {
            shades[i] = 1.0f;
        }
    }
}

void computeToonRamp(std::int32_t flags, int shadeCount, const float* coolColor,
                     const float* warmColor, float texels[][3]) {
    int n = shadeCount;
    for (int k = 0; k < n; ++k) {
        texels[k][0] = 1.0f;
        texels[k][1] = 1.0f;
        texels[k][2] = 1.0f;
    }
    if (flags & TOON_GRADIENT) {
        for (int k = 0; k < n; ++k) {
            float m = static_cast<float>((static_cast<double>(k) / (n - 1) + 1.0) * 0.5);
            for (int c = 0; c < 3; ++c) {
                texels[k][c] = (1.0f - m) * coolColor[c] + m * warmColor[c];
            }
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

void ToonModel::buildRamp(const float* coolColor, const float* warmColor) {
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_LIGHTING);

    float texels[toonMaxShades][3];
    computeToonRamp(flags, shadeCount, coolColor, warmColor, texels);

    GLuint name = 0;
    glGenTextures(1, &name);
    rampTexture = name;
    glBindTexture(GL_TEXTURE_1D, rampTexture);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // Wrap and environment stay at GL_REPEAT and GL_MODULATE: a coordinate of exactly 1.0
    // wraps to texel 0, and the white current colour passes the texel through unchanged.
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, shadeCount, 0, GL_RGB, GL_FLOAT, texels);
}

namespace {

// The clamped cosine for one normal. A normal that has no direction gives 0 rather than NaN, so
// its corners show texel 0 like any corner facing away from the light.
float normalShade(const Vec3* normal, const float* matrix, const Vec3* lightDir) {
    Vec3 eye;
    vec3RotateByMatrix(normal, matrix, &eye);
    vec3Normalize(&eye);
    float s = vec3Dot(&eye, lightDir);
    // Written so that a NaN (from a non-finite matrix) also lands on 0.
    if (!(s >= 0.0f)) {
        s = 0.0f;
    }
    return s;
}

// One entry per distinct (vertex, normal) pair, so that the GL transforms each once.
void buildCorners(ToonModel* toon) {
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

// Every edge once, by its vertices, with the one or two triangles along it.
void buildEdges(ToonModel* toon) {
    const GlmModel* model = toon->model;
    std::unordered_map<std::uint64_t, std::uint32_t> seen;
    seen.reserve(3 * std::size_t{model->triangleCount});
    toon->edges.clear();
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t a = v[k], b = v[(k + 1) % 3];
            const std::uint64_t key = std::uint64_t{std::min(a, b)} << 32 | std::max(a, b);
            auto [entry, added] =
                seen.try_emplace(key, static_cast<std::uint32_t>(toon->edges.size()));
            if (added) {
                toon->edges.push_back(
                    ToonModel::Edge{{toon->cornerIndices[3 * std::size_t{t} + k],
                                     toon->cornerIndices[3 * std::size_t{t} + (k + 1) % 3]},
                                    {t, ~0u},
                                    a < b});
                continue;
            }
            ToonModel::Edge& edge = toon->edges[entry->second];
            // `opposite` held the first triangle's direction until the second came.
            const bool second = edge.triangles[1] == ~0u && edge.triangles[0] != ~0u;
            edge.opposite = second && edge.opposite != (a < b);
            edge.triangles[1] = second ? t : ~0u;
            edge.triangles[0] = second ? edge.triangles[0] : ~0u; // a third: always drawn
        }
    }
}

// The eye in the model's coordinates, from an affine model-view matrix (column-major).
Vec3 eyeInModel(const float* m) {
    const double a[3][3] = {{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}};
    const double t[3] = {-m[12], -m[13], -m[14]};
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    double out[3];
    for (int c = 0; c < 3; ++c) { // Cramer's rule, column c replaced by t
        double b[3][3];
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) {
                b[r][k] = k == c ? t[r] : a[r][k];
            }
        }
        out[c] = (b[0][0] * (b[1][1] * b[2][2] - b[1][2] * b[2][1]) -
                  b[0][1] * (b[1][0] * b[2][2] - b[1][2] * b[2][0]) +
                  b[0][2] * (b[1][0] * b[2][1] - b[1][1] * b[2][0])) /
                 det;
    }
    return Vec3{static_cast<float>(out[0]), static_cast<float>(out[1]), static_cast<float>(out[2])};
}

// The silhouette (an edge between a face seen from the front and one seen from behind) and the
// borders, as line ends.
void collectOutline(ToonModel* toon, const float* modelview) {
    const GlmModel* model = toon->model;
    const Vec3 eye = eyeInModel(modelview);
    auto front = [&](std::uint32_t t) {
        const GlmTriangle& triangle = model->triangles[t];
        const Vec3& p = model->vertices[triangle.vertexIndex[0]];
        const Vec3& n = model->facetNormals[triangle.facetNormalIndex];
        return n.x * (eye.x - p.x) + n.y * (eye.y - p.y) + n.z * (eye.z - p.z) > 0.0f;
    };
    toon->outlineEnds.clear();
    for (const ToonModel::Edge& edge : toon->edges) {
        const bool border = edge.triangles[0] == ~0u || edge.triangles[1] == ~0u;
        if (border || (front(edge.triangles[0]) != front(edge.triangles[1])) == edge.opposite) {
            for (std::uint32_t end : edge.ends) {
                const float* p = &toon->cornerPositions[3 * std::size_t{end}];
                toon->outlineEnds.insert(toon->outlineEnds.end(), p, p + 3);
            }
        }
    }
}

// True when no vertex can reach the viewport: the sphere round the model's origin that holds
// them all lies beyond one clipping plane, widened by half the outline and a pixel on each side.
// Then the GL would clip every primitive of both passes; the draws are left out, the state
// changes stay. The scene has about two models in five out of view in any frame.
bool outsideView(const ToonModel& toon, const float* modelview) {
    float projection[16], lineWidth = 1.0f;
    GLint viewport[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    if (viewport[2] <= 0 || viewport[3] <= 0) {
        return false;
    }
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

} // namespace

void ToonModel::draw() {
    if (flags & TOON_SMOOTH_LINES) {
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_LINE_SMOOTH);
    } else {
        glDisable(GL_LINE_SMOOTH);
    }

    if (cornerIndices.empty()) {
        buildCorners(this);
    }
    const std::uint32_t normalCount = model->normals != nullptr ? model->normalCount : 0;
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    const bool hidden = outsideView(*this, matrix);
    for (std::uint32_t n = 1; !hidden && n <= normalCount; ++n) {
        normalShades[n] = normalShade(&model->normals[n], matrix, &lightDir);
    }
    for (std::size_t u = 0; !hidden && u < cornerNormals.size(); ++u) {
        std::uint32_t n = cornerNormals[u];
        cornerShades[u] = n <= normalCount ? normalShades[n] : 0.0f;
    }
    const bool twoSided = (flags & TOON_TWO_SIDED) != 0;
    if (twoSided && !hidden) {
        const Vec3 away{-lightDir.x, -lightDir.y, -lightDir.z};
        normalBackShades.resize(normalShades.size());
        cornerBackShades.resize(cornerShades.size());
        for (std::uint32_t n = 1; n <= normalCount; ++n) {
            normalBackShades[n] = normalShade(&model->normals[n], matrix, &away);
        }
        for (std::size_t u = 0; u < cornerNormals.size(); ++u) {
            std::uint32_t n = cornerNormals[u];
            cornerBackShades[u] = n <= normalCount ? normalBackShades[n] : 0.0f;
        }
        if ((flags & TOON_OUTLINE) != 0) {
            if (edges.empty()) {
                buildEdges(this);
            }
            collectOutline(this, matrix);
        }
    }
    const auto corners =
        hidden ? GLsizei{0} : static_cast<GLsizei>(3 * std::size_t{model->triangleCount});

    glCullFace(GL_FRONT);
    glEnable(GL_TEXTURE_1D);
    glBindTexture(GL_TEXTURE_1D, rampTexture);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, cornerPositions.data());
    glTexCoordPointer(1, GL_FLOAT, 0, cornerShades.data());
    if (twoSided) {
        glEnable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(1.0f, 1.0f);
    }
    glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, cornerIndices.data());
    if (twoSided) {
        // The faces seen from behind: the other winding is culled now.
        GLint frontFace = GL_CCW;
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        glFrontFace(frontFace == GL_CCW ? GL_CW : GL_CCW);
        glTexCoordPointer(1, GL_FLOAT, 0, cornerBackShades.data());
        glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, cornerIndices.data());
        glFrontFace(static_cast<GLenum>(frontFace));
        glDisable(GL_POLYGON_OFFSET_FILL);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_1D);

    if (twoSided && (flags & TOON_OUTLINE)) {
        // The fill lies behind its polygon offset, so lines on the surface pass GL_LESS.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glLineWidth(lineWidth);
        glColor3f(0.0f, 0.0f, 0.0f);
        glVertexPointer(3, GL_FLOAT, 0, outlineEnds.data());
        glDrawArrays(GL_LINES, 0, hidden ? 0 : static_cast<GLsizei>(outlineEnds.size() / 3));
        glDisable(GL_BLEND);
    } else if (flags & TOON_OUTLINE) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glPolygonMode(GL_FRONT, GL_LINE);
        glLineWidth(lineWidth);
        glCullFace(GL_BACK);
        glDepthFunc(GL_LEQUAL);
        glColor3f(0.0f, 0.0f, 0.0f);
        glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, cornerIndices.data());
        glDepthFunc(GL_LESS);
        glCullFace(GL_FRONT);
        glPolygonMode(GL_FRONT, GL_FILL);
        glDisable(GL_BLEND);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}
