#include "tests/hardening/gl_guard.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <tuple>

GlGuard glGuard;

namespace {

void check(const char* name, std::initializer_list<double> arguments) {
    ++glGuard.calls;
    const double* v = arguments.begin();
    if (glGuard.recording && std::strncmp(name, "glVertex3f", 10) == 0) {
        glGuard.vertices.push_back(Vec3{float(v[0]), float(v[1]), float(v[2])});
    } else if (glGuard.recording && std::strcmp(name, "glTexCoord1f") == 0) {
        glGuard.texCoords.push_back(float(v[0]));
    }
    if (std::all_of(v, arguments.end(), [](double a) { return std::isfinite(a); }) ||
        glGuard.nonFinite++ > 0) {
        return;
    }
    std::ostringstream text;
    text << name << "(";
    for (const double* a = v; a != arguments.end(); ++a) {
        text << (a == v ? "" : ", ") << *a;
    }
    glGuard.firstNonFinite = text.str() + ")";
}

} // namespace

// __wrap_F checks the listed arguments and hands the call on to the GL's own F (__real_F).
#define GUARD(function, parameters, arguments, ...)                                                \
    void __real_##function parameters;                                                             \
    void __wrap_##function parameters {                                                            \
        check(#function, {__VA_ARGS__});                                                           \
        __real_##function arguments;                                                               \
    }
#define ALL16(m)                                                                                   \
    m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12], m[13], m[14], \
        m[15]

extern "C" {

GUARD(glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b), r, g, b)
GUARD(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z), a, x, y, z)
GUARD(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
GUARD(glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
GUARD(glMultMatrixf, (const GLfloat* m), (m), ALL16(m))
GUARD(glLoadMatrixf, (const GLfloat* m), (m), ALL16(m))
GUARD(glLineWidth, (GLfloat width), (width), width)
GUARD(glPointSize, (GLfloat size), (size), size)
GUARD(gluPerspective, (GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar),
      (fovy, aspect, zNear, zFar), fovy, aspect, zNear, zFar)
GUARD(gluLookAt,
      (GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux,
       GLdouble uy, GLdouble uz),
      (ex, ey, ez, cx, cy, cz, ux, uy, uz), ex, ey, ez, cx, cy, cz, ux, uy, uz)
GUARD(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
GUARD(glVertex3fv, (const GLfloat* v), (v), v[0], v[1], v[2])
GUARD(glTexCoord1f, (GLfloat s), (s), s)

// The arrays a draw reads, element by element, as the calls above would have sent them.
void __real_glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
void __wrap_glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    for (auto [array, pointer, size, name] :
         {std::tuple{GL_TEXTURE_COORD_ARRAY, GL_TEXTURE_COORD_ARRAY_POINTER,
                     GL_TEXTURE_COORD_ARRAY_SIZE, "glTexCoord1f"},
          std::tuple{GL_VERTEX_ARRAY, GL_VERTEX_ARRAY_POINTER, GL_VERTEX_ARRAY_SIZE,
                     "glVertex3fv"}}) {
        GLvoid* data = nullptr;
        GLint n = 0;
        glGetPointerv(pointer, &data);
        glGetIntegerv(size, &n);
        const auto* v = static_cast<const float*>(data);
        const auto* index = static_cast<const GLuint*>(indices);
        for (GLsizei i = 0; type == GL_UNSIGNED_INT && glIsEnabled(array) && i < count; ++i) {
            const float* e = v + static_cast<std::ptrdiff_t>(index[i]) * n;
            n == 1 ? check(name, {e[0]}) : check(name, {e[0], e[1], e[2]});
        }
    }
    __real_glDrawElements(mode, count, type, indices);
}

} // extern "C"
