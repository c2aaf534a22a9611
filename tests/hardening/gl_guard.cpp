#include "tests/hardening/gl_guard.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <initializer_list>
#include <sstream>

GlGuard glGuard;

namespace {

void check(const char* name, std::initializer_list<double> arguments) {
    ++glGuard.calls;
    bool finite = true;
    for (double a : arguments) {
        finite = finite && std::isfinite(a);
    }
    if (finite) {
        return;
    }
    if (glGuard.nonFinite++ == 0) {
        std::ostringstream text;
        text << name << "(";
        const char* separator = "";
        for (double a : arguments) {
            text << separator << a;
            separator = ", ";
        }
        text << ")";
        glGuard.firstNonFinite = text.str();
    }
}

void vertex(float x, float y, float z) {
    if (glGuard.recording) {
        glGuard.vertices.push_back(Vec3{x, y, z});
    }
}

} // namespace

extern "C" {

void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void __real_glVertex3fv(const GLfloat* v);
void __real_glTexCoord1f(GLfloat s);
void __real_glColor3f(GLfloat r, GLfloat g, GLfloat b);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glScalef(GLfloat x, GLfloat y, GLfloat z);
void __real_glMultMatrixf(const GLfloat* m);
void __real_glLoadMatrixf(const GLfloat* m);
void __real_glLineWidth(GLfloat width);
void __real_glPointSize(GLfloat size);
void __real_gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                      GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);
void __real_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    check("glVertex3f", {x, y, z});
    vertex(x, y, z);
    __real_glVertex3f(x, y, z);
}

void __wrap_glVertex3fv(const GLfloat* v) {
    check("glVertex3fv", {v[0], v[1], v[2]});
    vertex(v[0], v[1], v[2]);
    __real_glVertex3fv(v);
}

void __wrap_glTexCoord1f(GLfloat s) {
    check("glTexCoord1f", {s});
    if (glGuard.recording) {
        glGuard.texCoords.push_back(s);
    }
    __real_glTexCoord1f(s);
}

void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    check("glColor3f", {r, g, b});
    __real_glColor3f(r, g, b);
}

void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    check("glRotatef", {angle, x, y, z});
    __real_glRotatef(angle, x, y, z);
}

void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    check("glTranslatef", {x, y, z});
    __real_glTranslatef(x, y, z);
}

void __wrap_glScalef(GLfloat x, GLfloat y, GLfloat z) {
    check("glScalef", {x, y, z});
    __real_glScalef(x, y, z);
}

void __wrap_glMultMatrixf(const GLfloat* m) {
    check("glMultMatrixf", {m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10],
                            m[11], m[12], m[13], m[14], m[15]});
    __real_glMultMatrixf(m);
}

void __wrap_glLoadMatrixf(const GLfloat* m) {
    check("glLoadMatrixf", {m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10],
                            m[11], m[12], m[13], m[14], m[15]});
    __real_glLoadMatrixf(m);
}

void __wrap_glLineWidth(GLfloat width) {
    check("glLineWidth", {width});
    __real_glLineWidth(width);
}

void __wrap_glPointSize(GLfloat size) {
    check("glPointSize", {size});
    __real_glPointSize(size);
}

void __wrap_gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX,
                      GLdouble centerY, GLdouble centerZ, GLdouble upX, GLdouble upY,
                      GLdouble upZ) {
    check("gluLookAt", {eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ});
    __real_gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    check("gluPerspective", {fovy, aspect, zNear, zFar});
    __real_gluPerspective(fovy, aspect, zNear, zFar);
}

} // extern "C"
