// The star field on its own: it needs the GL but none of the models, so tests can build it alone.
#include "scene/scene.h"

#include <GL/gl.h>

std::uint32_t buildStarField() {
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glPointSize(2.0f);
    for (int i = 0; i < starCount; ++i) {
        Vec3 star = nextStarPosition();
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_POINTS);
        glVertex3f(star.x, star.y, star.z);
        glEnd();
    }
    glEndList();
    return list;
}
