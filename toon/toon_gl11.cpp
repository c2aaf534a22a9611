// The GL 1.1 renderer of a tone-shaded model: a 1-D ramp texture, client arrays, and the
// outline as the back faces' edges in polygon-mode lines.
#include "toon/toon_model.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

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
    return s >= 0.0f ? s : 0.0f;
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

// The silhouette (an edge between a face seen from the front and one seen from behind) and the
// borders, as line ends.
void collectOutline(ToonModel* toon, const float* modelview) {
    const GlmModel* model = toon->model;
    const Vec3 eye = toonEyeInModel(modelview);
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

bool outsideView(const ToonModel& toon, const float* modelview) {
    float projection[16], lineWidth = 1.0f;
    GLint viewport[4];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_LINE_WIDTH, &lineWidth);
    return toonOutsideView(toon, projection, modelview, viewport[2], viewport[3], lineWidth);
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
        buildToonCorners(this);
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

    if (flags & TOON_OUTLINE) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glLineWidth(lineWidth);
        glColor3f(0.0f, 0.0f, 0.0f);
        if (twoSided) {
            // The fill lies behind its polygon offset, so lines on the surface pass GL_LESS.
            glVertexPointer(3, GL_FLOAT, 0, outlineEnds.data());
            glDrawArrays(GL_LINES, 0, hidden ? 0 : static_cast<GLsizei>(outlineEnds.size() / 3));
        } else {
            glPolygonMode(GL_FRONT, GL_LINE);
            glCullFace(GL_BACK);
            glDepthFunc(GL_LEQUAL);
            glDrawElements(GL_TRIANGLES, corners, GL_UNSIGNED_INT, cornerIndices.data());
            glDepthFunc(GL_LESS);
            glCullFace(GL_FRONT);
            glPolygonMode(GL_FRONT, GL_FILL);
        }
        glDisable(GL_BLEND);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
}
