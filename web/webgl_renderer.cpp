// The WebGL 2 renderer of the scene (scene/scene_render.h) and of the tone-shaded models.
//
// WebGL has no fixed-function pipeline, no 1-D textures, no polygon-mode lines and draws lines
// one pixel wide, so this is a renderer of its own, not an emulation of GL 1.1:
// - placements are a matrix stack kept here, composed in 32-bit floats as the GL composes them;
// - a model's shaded pass works out the clamped cosine of each corner's eye-space normal in the
//   vertex shader and looks it up in the ramp, a shadeCount x 1 texture with nearest filtering
//   and repeat wrapping (a cosine of exactly 1 wraps to texel 0, as on the desktop);
// - the outline is built to its width. The desktop draws every edge of the faces the shaded pass
//   culls, lineWidth wide, behind the shaded faces; what shows of them is the band along the
//   edges between a culled and a drawn face (the silhouette) and the edges of a culled face
//   without a neighbour. Those edges are found each frame (faces tested as the GL tests them,
//   by their winding in clip space), and each becomes a screen-space quad lineWidth pixels wide,
//   extended by half the width at both ends so that neighbouring edges meet. Drawing all edges
//   instead costs SwiftShader hundreds of milliseconds a frame. The flight path's lines are
//   built the same way at the line width in force, as the desktop draws them;
// - stars are two-pixel points.
// A width the GL would reject (0 or less, not finite) leaves the width in force, as on the
// desktop, where the torus outlines at the width the model before it set.
#include "math/vec3.h"
#include "scene/flight_path.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "scene/scene_render.h"
#include "toon/toon_model.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct Matrix {
    float m[16];
};

constexpr Matrix identity{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// What the GPU holds for one model.
struct ModelBuffers {
    GLuint shaded = 0; // vertex array: positions, normals, indices
    GLsizei indexCount = 0;
    GLenum indexType = GL_UNSIGNED_INT;
    // Each edge once, by the model's vertex numbers, with the faces on either side (second -1
    // when it has one face; an edge of three or more faces keeps its first two).
    struct Edge {
        std::uint32_t v0, v1;
        std::int32_t face0, face1;
    };
    std::vector<Edge> edges;
};

// The renderer's one record.
struct WebRenderer {
    GLuint toonProgram = 0;
    GLuint lineProgram = 0;
    GLuint pointProgram = 0;
    GLuint segmentArray = 0; // segments' quads, streamed each draw
    GLuint segmentBuffer = 0;
    // Scratch for each frame: clip coordinates of the vertices, facing of the faces, segments.
    std::vector<float> clip;
    std::vector<std::uint8_t> culled;
    std::vector<float> segments;
    std::vector<float> quads;
    std::vector<Matrix> stack{identity};
    Matrix projection = identity;
    int viewportWidth = 1;
    int viewportHeight = 1;
    float lineWidth = 1.0f;
    std::unordered_map<const ToonModel*, ModelBuffers> models;
    GLsizei starCount = 0;
};
WebRenderer renderer;

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[4 * k + row] * b.m[4 * c + k];
            }
            r.m[4 * c + row] = sum;
        }
    }
    return r;
}

Matrix& current() {
    return renderer.stack.back();
}

void multiplyCurrent(const Matrix& n) {
    current() = multiply(current(), n);
}

const char* toonVertex = R"(#version 300 es
uniform mat4 modelview;
uniform mat4 projection;
uniform vec3 light;
in vec3 position;
in vec3 normal;
out float shade;
void main() {
    vec3 eye = mat3(modelview) * normal;
    float length = length(eye);
    float s = length > 0.0 ? dot(eye / length, light) : 0.0;
    // Also catches NaN.
    shade = s >= 0.0 ? s : 0.0;
    gl_Position = projection * modelview * vec4(position, 1.0);
})";

const char* toonFragment = R"(#version 300 es
precision highp float;
uniform sampler2D ramp;
in float shade;
out vec4 color;
void main() {
    color = vec4(texture(ramp, vec2(shade, 0.5)).rgb, 1.0);
})";

// a-b is a segment in clip space; corner.x picks the end, corner.y the side.
const char* lineVertex = R"(#version 300 es
uniform vec2 viewport;
uniform float halfWidth;
in vec4 a;
in vec4 b;
in vec2 corner;
void main() {
    vec4 pa = a;
    vec4 pb = b;
    gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
    // Clipped to the near plane, where the screen positions would fold over.
    float da = pa.z + pa.w;
    float db = pb.z + pb.w;
    if (da < 0.0 && db < 0.0) {
        return;
    }
    if (da < 0.0) {
        pa = mix(pa, pb, da / (da - db));
    } else if (db < 0.0) {
        pb = mix(pb, pa, db / (db - da));
    }
    vec2 sa = pa.xy / pa.w * viewport * 0.5;
    vec2 sb = pb.xy / pb.w * viewport * 0.5;
    vec2 d = sb - sa;
    float len = length(d);
    vec2 along = len > 0.0 ? d / len : vec2(1.0, 0.0);
    vec2 across = vec2(-along.y, along.x);
    vec4 p = corner.x < 0.5 ? pa : pb;
    vec2 offset = (across * corner.y + along * (corner.x < 0.5 ? -1.0 : 1.0)) * halfWidth;
    gl_Position = p + vec4(offset * 2.0 / viewport * p.w, 0.0, 0.0);
})";

const char* colorFragment = R"(#version 300 es
precision mediump float;
uniform vec3 tint;
out vec4 color;
void main() {
    color = vec4(tint, 1.0);
})";

const char* pointVertex = R"(#version 300 es
uniform mat4 transform;
in vec3 position;
void main() {
    gl_PointSize = 2.0;
    gl_Position = transform * vec4(position, 1.0);
})";

// Says on standard error why a shader did not compile or a program did not link.
void reportFailure(GLuint object, void (*getStatus)(GLuint, GLenum, GLint*), GLenum status,
                   void (*getLog)(GLuint, GLsizei, GLsizei*, GLchar*), const char* what) {
    GLint ok = 0;
    getStatus(object, status, &ok);
    if (!ok) {
        char log[1024] = "";
        getLog(object, sizeof log, nullptr, log);
        std::fprintf(stderr, "velmora: a shader %s: %s\n", what, log);
    }
}

GLuint link(const char* vertex, const char* fragment) {
    GLuint program = glCreateProgram();
    for (auto [type, source] :
         {std::pair{GL_VERTEX_SHADER, vertex}, {GL_FRAGMENT_SHADER, fragment}}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        reportFailure(shader, glGetShaderiv, GL_COMPILE_STATUS, glGetShaderInfoLog,
                      "does not compile");
        glAttachShader(program, shader);
    }
    glLinkProgram(program);
    reportFailure(program, glGetProgramiv, GL_LINK_STATUS, glGetProgramInfoLog,
                  "program does not link");
    return program;
}

GLint uniform(GLuint program, const char* name) {
    return glGetUniformLocation(program, name);
}

GLuint upload(GLenum target, const void* data, std::size_t bytes) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
    return buffer;
}

void attribute(GLuint program, const char* name, int size, GLsizei stride, std::size_t offset) {
    GLint location = glGetAttribLocation(program, name);
    if (location < 0) {
        return;
    }
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), size, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offset));
}

void clipOf(const Matrix& m, float x, float y, float z, float* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = m.m[r] * x + m.m[4 + r] * y + m.m[8 + r] * z + m.m[12 + r];
    }
}

// Draws renderer.segments (two clip-space points, eight floats, a segment) as quads: six
// vertices a segment, each with both ends and its corner. Plain triangles, not instances:
// SwiftShader spends far longer on a thousand instances than on six thousand vertices.
void drawSegments(const float* tint) {
    const std::size_t count = renderer.segments.size() / 8;
    if (count == 0) {
        return;
    }
    static constexpr float corners[6][2] = {{0, -1}, {1, -1}, {1, 1}, {0, -1}, {1, 1}, {0, 1}};
    std::vector<float>& quads = renderer.quads;
    quads.resize(count * 6 * 10);
    float* out = quads.data();
    for (std::size_t i = 0; i < count; ++i) {
        const float* segment = &renderer.segments[8 * i];
        for (const auto& corner : corners) {
            std::copy(segment, segment + 8, out);
            out[8] = corner[0];
            out[9] = corner[1];
            out += 10;
        }
    }
    const GLuint p = renderer.lineProgram;
    glUseProgram(p);
    glUniform2f(uniform(p, "viewport"), static_cast<float>(renderer.viewportWidth),
                static_cast<float>(renderer.viewportHeight));
    glUniform1f(uniform(p, "halfWidth"), renderer.lineWidth * 0.5f);
    glUniform3fv(uniform(p, "tint"), 1, tint);
    glBindVertexArray(renderer.segmentArray);
    glBindBuffer(GL_ARRAY_BUFFER, renderer.segmentBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(quads.size() * sizeof(float)),
                 quads.data(), GL_STREAM_DRAW);
    // The quads face either way.
    glDisable(GL_CULL_FACE);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(count * 6));
    glEnable(GL_CULL_FACE);
    glBindVertexArray(0);
}

void startRenderer() {
    if (renderer.toonProgram != 0) {
        return;
    }
    renderer.toonProgram = link(toonVertex, toonFragment);
    renderer.lineProgram = link(lineVertex, colorFragment);
    renderer.pointProgram = link(pointVertex, colorFragment);
    glGenVertexArrays(1, &renderer.segmentArray);
    glBindVertexArray(renderer.segmentArray);
    renderer.segmentBuffer = upload(GL_ARRAY_BUFFER, nullptr, 0);
    const GLsizei stride = 10 * sizeof(float);
    attribute(renderer.lineProgram, "a", 4, stride, 0);
    attribute(renderer.lineProgram, "b", 4, stride, 4 * sizeof(float));
    attribute(renderer.lineProgram, "corner", 2, stride, 8 * sizeof(float));
    glBindVertexArray(0);
}

ModelBuffers& buffersFor(ToonModel* toon) {
    ModelBuffers& b = renderer.models[toon];
    if (b.shaded != 0) {
        return b;
    }
    if (toon->cornerIndices.empty()) {
        buildToonCorners(toon);
    }
    const GlmModel* model = toon->model;
    const std::size_t count = toon->cornerNormals.size();
    // Position and normal of each corner; a normal index outside the model's gives no
    // direction, which shades as texel 0.
    std::vector<float> vertices;
    vertices.reserve(6 * count);
    for (std::size_t u = 0; u < count; ++u) {
        const float* at = &toon->cornerPositions[3 * u];
        const std::uint32_t n = toon->cornerNormals[u];
        const bool known = model->normals != nullptr && n >= 1 && n <= model->normalCount;
        const Vec3 d = known ? model->normals[n] : Vec3{0.0f, 0.0f, 0.0f};
        vertices.insert(vertices.end(), {at[0], at[1], at[2], d.x, d.y, d.z});
    }
    const GLuint p = renderer.toonProgram;
    glGenVertexArrays(1, &b.shaded);
    glBindVertexArray(b.shaded);
    upload(GL_ARRAY_BUFFER, vertices.data(), vertices.size() * sizeof(float));
    attribute(p, "position", 3, 6 * sizeof(float), 0);
    attribute(p, "normal", 3, 6 * sizeof(float), 3 * sizeof(float));
    const std::vector<std::uint32_t>& indices = toon->cornerIndices;
    // 16-bit indices where they reach: the renderer under the page may widen 32-bit ones.
    if (count <= 65536) {
        std::vector<std::uint16_t> narrow(indices.begin(), indices.end());
        upload(GL_ELEMENT_ARRAY_BUFFER, narrow.data(), narrow.size() * sizeof(std::uint16_t));
        b.indexType = GL_UNSIGNED_SHORT;
    } else {
        upload(GL_ELEMENT_ARRAY_BUFFER, indices.data(), indices.size() * sizeof(std::uint32_t));
    }
    glBindVertexArray(0);
    b.indexCount = static_cast<GLsizei>(toon->cornerIndices.size());

    std::unordered_map<std::uint64_t, std::size_t> seen;
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        for (int e = 0; e < 3; ++e) {
            std::uint32_t v0 = v[e], v1 = v[(e + 1) % 3];
            const std::uint64_t key = std::uint64_t{std::min(v0, v1)} << 32 | std::max(v0, v1);
            auto [entry, added] = seen.try_emplace(key, b.edges.size());
            if (added) {
                b.edges.push_back({v0, v1, static_cast<std::int32_t>(t), -1});
            } else if (b.edges[entry->second].face1 < 0) {
                b.edges[entry->second].face1 = static_cast<std::int32_t>(t);
            }
        }
    }
    return b;
}

// A strip of points as segments in clip space, into renderer.segments.
template <class Points> void stripSegments(Points points) {
    const Matrix transform = multiply(renderer.projection, current());
    renderer.segments.clear();
    float previous[4];
    bool first = true;
    points([&](float x, float y, float z) {
        float c[4];
        clipOf(transform, x, y, z, c);
        if (!first) {
            renderer.segments.insert(renderer.segments.end(), previous, previous + 4);
            renderer.segments.insert(renderer.segments.end(), c, c + 4);
        }
        std::copy(c, c + 4, previous);
        first = false;
    });
}

// The outline's segments of a model under transform, into renderer.segments.
void outlineSegments(const ToonModel& toon, const ModelBuffers& b, const Matrix& transform) {
    const GlmModel* model = toon.model;
    renderer.clip.resize(4 * (std::size_t{model->vertexCount} + 1));
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        const Vec3& v = model->vertices[i];
        clipOf(transform, v.x, v.y, v.z, &renderer.clip[4 * i]);
    }
    renderer.culled.resize(model->triangleCount);
    for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
        const std::uint32_t* v = model->triangles[t].vertexIndex;
        const float* p = &renderer.clip[4 * v[0]];
        const float* q = &renderer.clip[4 * v[1]];
        const float* r = &renderer.clip[4 * v[2]];
        // Counter-clockwise on the screen, with any w: the faces the shaded pass culls and the
        // desktop outlines.
        auto d = [](float f) { return static_cast<double>(f); };
        const double det = d(p[0]) * (d(q[1]) * r[3] - d(q[3]) * r[1]) -
                           d(q[0]) * (d(p[1]) * r[3] - d(p[3]) * r[1]) +
                           d(r[0]) * (d(p[1]) * q[3] - d(p[3]) * q[1]);
        renderer.culled[t] = det > 0.0;
    }
    renderer.segments.clear();
    for (const ModelBuffers::Edge& e : b.edges) {
        const bool first = renderer.culled[static_cast<std::size_t>(e.face0)];
        const bool shows =
            e.face1 < 0 ? first : first != renderer.culled[static_cast<std::size_t>(e.face1)];
        if (shows) {
            const float* p = &renderer.clip[4 * e.v0];
            const float* q = &renderer.clip[4 * e.v1];
            renderer.segments.insert(renderer.segments.end(), p, p + 4);
            renderer.segments.insert(renderer.segments.end(), q, q + 4);
        }
    }
}

} // namespace

void renderSetUp() {
    startRenderer();
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LESS);
    renderer.stack.assign(1, identity);
}

void renderViewport(int width, int height) {
    startRenderer();
    renderer.viewportWidth = width;
    renderer.viewportHeight = height;
    glViewport(0, 0, width, height);
    // gluPerspective(45, width / height, 0.1f, 2000).
    const double f = 1.0 / std::tan(45.0 / 2.0 * 3.14159265358979323846 / 180.0);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    const double zNear = static_cast<double>(0.1f);
    const double zFar = 2000.0;
    renderer.projection = {{static_cast<float>(f / aspect), 0, 0, 0,                       //
                            0, static_cast<float>(f), 0, 0,                                //
                            0, 0, static_cast<float>((zFar + zNear) / (zNear - zFar)), -1, //
                            0, 0, static_cast<float>(2.0 * zFar * zNear / (zNear - zFar)), 0}};
    renderer.stack.assign(1, identity);
}

void renderBeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer.stack.assign(1, identity);
}

void renderLookAt(const double a[9]) {
    // As GLU builds it: in floats, then a translation by the negated eye.
    Vec3 forward{static_cast<float>(a[3] - a[0]), static_cast<float>(a[4] - a[1]),
                 static_cast<float>(a[5] - a[2])};
    Vec3 up{static_cast<float>(a[6]), static_cast<float>(a[7]), static_cast<float>(a[8])};
    auto normalize = [](Vec3* v) {
        const float r = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
        if (r != 0.0f) {
            *v = {v->x / r, v->y / r, v->z / r};
        }
    };
    normalize(&forward);
    Vec3 side;
    vec3Cross(&forward, &up, &side);
    normalize(&side);
    vec3Cross(&side, &forward, &up);
    // Column-major, so each line here is a column: side, up and -forward are the rows.
    multiplyCurrent({{side.x, up.x, -forward.x, 0, //
                      side.y, up.y, -forward.y, 0, //
                      side.z, up.z, -forward.z, 0, //
                      0, 0, 0, 1}});
    renderTranslate(static_cast<float>(-a[0]), static_cast<float>(-a[1]),
                    static_cast<float>(-a[2]));
}

void renderPushPlacement() {
    renderer.stack.push_back(current());
}

void renderPopPlacement() {
    if (renderer.stack.size() > 1) {
        renderer.stack.pop_back();
    }
}

void renderTranslate(float x, float y, float z) {
    // The new last column is where the current placement takes (x, y, z).
    Matrix& m = current();
    clipOf(m, x, y, z, &m.m[12]);
}

void renderRotate(float degrees, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0f)) {
        return;
    }
    x /= length;
    y /= length;
    z /= length;
    const float radians = degrees * static_cast<float>(3.14159265358979323846 / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    const float t = 1.0f - c;
    multiplyCurrent({{t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0, //
                      t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0, //
                      t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0, //
                      0, 0, 0, 1}});
}

void renderScale(float x, float y, float z) {
    Matrix& m = current();
    for (int r = 0; r < 4; ++r) {
        m.m[r] *= x;
        m.m[4 + r] *= y;
        m.m[8 + r] *= z;
    }
}

void renderMultiply(const float matrix[16]) {
    Matrix n;
    std::copy_n(matrix, 16, n.m);
    multiplyCurrent(n);
}

std::uint32_t buildStarField() {
    startRenderer();
    std::vector<float> positions;
    positions.reserve(3 * starCount);
    for (int i = 0; i < starCount; ++i) {
        Vec3 star = nextStarPosition();
        positions.insert(positions.end(), {star.x, star.y, star.z});
    }
    GLuint stars = 0;
    glGenVertexArrays(1, &stars);
    glBindVertexArray(stars);
    upload(GL_ARRAY_BUFFER, positions.data(), positions.size() * sizeof(float));
    attribute(renderer.pointProgram, "position", 3, 0, 0);
    glBindVertexArray(0);
    renderer.starCount = starCount;
    return stars;
}

void renderStars(std::uint32_t starField) {
    const GLuint p = renderer.pointProgram;
    glUseProgram(p);
    Matrix transform = multiply(renderer.projection, current());
    glUniformMatrix4fv(uniform(p, "transform"), 1, GL_FALSE, transform.m);
    glUniform3f(uniform(p, "tint"), 1.0f, 1.0f, 1.0f);
    glBindVertexArray(starField);
    glDrawArrays(GL_POINTS, 0, renderer.starCount);
    glBindVertexArray(0);
}

void drawFlightPath() {
    const float red[3] = {1.0f, 0.0f, 0.0f};
    const float green[3] = {0.0f, 1.0f, 0.0f};
    stripSegments([](auto emit) { forEachFlightPathSample(emit); });
    drawSegments(red);
    stripSegments([](auto emit) {
        for (const PathPoint& p : flightPathControlPoints) {
            emit(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        }
    });
    drawSegments(green);
}

void ToonModel::buildRamp(const float* coolColor, const float* warmColor) {
    float texels[toonMaxShades][3];
    computeToonRamp(flags, shadeCount, coolColor, warmColor, texels);
    startRenderer();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDepthFunc(GL_LESS);
    // RGBA: the format renderers sample fastest; alpha is opaque.
    std::vector<unsigned char> bytes(4 * static_cast<std::size_t>(shadeCount), 255);
    for (int k = 0; k < shadeCount; ++k) {
        for (int c = 0; c < 3; ++c) {
            bytes[4 * static_cast<std::size_t>(k) + static_cast<std::size_t>(c)] =
                static_cast<unsigned char>(std::lround(texels[k][c] * 255.0f));
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    rampTexture = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, shadeCount, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 bytes.data());
}

void ToonModel::draw() {
    ModelBuffers& b = buffersFor(this);
    // A model wholly out of view is not sent; the line width changes as if it had been drawn.
    const bool hidden =
        toonOutsideView(*this, renderer.projection.m, current().m, renderer.viewportWidth,
                        renderer.viewportHeight, renderer.lineWidth);
    if (!hidden) {
        const GLuint p = renderer.toonProgram;
        glUseProgram(p);
        glUniformMatrix4fv(uniform(p, "modelview"), 1, GL_FALSE, current().m);
        glUniformMatrix4fv(uniform(p, "projection"), 1, GL_FALSE, renderer.projection.m);
        glUniform3f(uniform(p, "light"), lightDir.x, lightDir.y, lightDir.z);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, rampTexture);
        glUniform1i(uniform(p, "ramp"), 0);
        glCullFace(GL_FRONT);
        glBindVertexArray(b.shaded);
        glDrawElements(GL_TRIANGLES, b.indexCount, b.indexType, nullptr);
        glBindVertexArray(0);
    }
    if (flags & TOON_OUTLINE) {
        if (std::isfinite(lineWidth) && lineWidth > 0.0f) {
            renderer.lineWidth = lineWidth;
        }
        if (!hidden) {
            outlineSegments(*this, b, multiply(renderer.projection, current()));
            glDepthFunc(GL_LEQUAL);
            const float black[3] = {0.0f, 0.0f, 0.0f};
            drawSegments(black);
            glDepthFunc(GL_LESS);
        }
    }
}
