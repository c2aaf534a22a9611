// Placeholder until the scene lands: every frame clears to the background colour.
#include "scene/scene.h"

#include <GL/gl.h>

bool initScene() {
    glClearColor(0.3f, 0.3f, 0.3f, 0.0f);
    return true;
}

bool drawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    return true;
}
