// The GL 1.1 renderer of the scene: fixed-function state, the matrix stack, display lists and
// immediate mode: the calls the desktop draws its frames with.
#include "scene/flight_path.h"
#include "scene/scene.h"
#include "scene/scene_state.h"
#include "scene/scene_render.h"

#include <GL/gl.h>
#include <GL/glu.h>

void renderSetUp() {
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glMatrixMode(GL_MODELVIEW);
}

void renderViewport(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height),
                   static_cast<double>(0.1f), 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void renderBeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void renderLookAt(const double a[9]) {
    gluLookAt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
}

void renderPushPlacement() {
    glPushMatrix();
}

void renderPopPlacement() {
    glPopMatrix();
}

void renderTranslate(float x, float y, float z) {
    glTranslatef(x, y, z);
}

void renderRotate(float degrees, float x, float y, float z) {
    glRotatef(degrees, x, y, z);
}

void renderScale(float x, float y, float z) {
    glScalef(x, y, z);
}

void renderMultiply(const float matrix[16]) {
    glMultMatrixf(matrix);
}

void renderStars(std::uint32_t starField) {
    glCallList(starField);
}

std::uint32_t buildStarField() {
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glPointSize(2.0f);
    // Set once, not before each star: nothing in the list changes the colour, and without a
    // state change between them the GL can run the stars' begin-end pairs as one draw.
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < starCount; ++i) {
        Vec3 star = nextStarPosition();
        glBegin(GL_POINTS);
        glVertex3f(star.x, star.y, star.z);
        glEnd();
    }
    glEndList();
    return list;
}

void drawFlightPath() {
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    forEachFlightPathSample([](float x, float y, float z) { glVertex3f(x, y, z); });
    glEnd();

    glColor3f(0.0f, 1.0f, 0.0f);
    glBegin(GL_LINE_STRIP);
    for (const PathPoint& p : flightPathControlPoints) {
        glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
    }
    glEnd();
}
