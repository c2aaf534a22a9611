// The scene as the demo sets it up, for the tests that draw it.
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <unistd.h>

namespace {
// The viewport and projection resizeAppWindow sets, for the square test surface; the
// model-view matrix is left current and identity.
void loadSceneProjection() {
    glViewport(0, 0, testSurfaceSize, testSurfaceSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, static_cast<double>(0.1f), 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
} // namespace

SceneInput testInput;
SceneTexts testTexts;

bool setUpSceneFrom(const char* directory) {
    loadSceneProjection();
    testInput = SceneInput{};
    resetScene();
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr || chdir(directory) != 0) {
        return false;
    }
    initScene(testInput, &testTexts);
    return chdir(cwd) == 0;
}
