#include "tests/scene/gl_context.h"

#include "math/random.h"
#include "scene/camera.h"
#include "scene/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

bool ensureGlContext() {
    static bool ready = false;
    static bool tried = false;
    if (tried) {
        return ready;
    }
    tried = true;
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_Window* window = SDL_CreateWindow("scene test", 0, 0, testSurfaceSize, testSurfaceSize,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
        return false;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr || SDL_GL_MakeCurrent(window, context) != 0) {
        std::fprintf(stderr, "SDL_GL_CreateContext failed: %s\n", SDL_GetError());
        return false;
    }
    glViewport(0, 0, testSurfaceSize, testSurfaceSize);
    ready = true;
    return true;
}

void beginFeedback(std::vector<float>* buffer) {
    glFeedbackBuffer(static_cast<GLsizei>(buffer->size()), GL_3D_COLOR, buffer->data());
    glRenderMode(GL_FEEDBACK);
}

int endFeedback() {
    return glRenderMode(GL_RENDER);
}

std::vector<FeedbackPrimitive> parseFeedback(const std::vector<float>& buffer, int used) {
    std::vector<FeedbackPrimitive> primitives;
    int i = 0;
    auto vertex = [&]() {
        FeedbackVertex v{buffer[i],     buffer[i + 1], buffer[i + 2], buffer[i + 3],
                         buffer[i + 4], buffer[i + 5], buffer[i + 6]};
        i += 7;
        return v;
    };
    while (i < used) {
        FeedbackPrimitive p;
        p.token = static_cast<int>(buffer[i++]);
        int count = 0;
        switch (p.token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN:
            count = 1;
            break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN:
            count = 2;
            break;
        case GL_POLYGON_TOKEN:
            count = static_cast<int>(buffer[i++]);
            break;
        case GL_PASS_THROUGH_TOKEN:
            i += 1;
            break;
        default:
            std::fprintf(stderr, "unknown feedback token %d\n", p.token);
            return primitives;
        }
        for (int k = 0; k < count; ++k) {
            p.vertices.push_back(vertex());
        }
        primitives.push_back(p);
    }
    return primitives;
}

void loadSceneProjection() {
    glViewport(0, 0, testSurfaceSize, testSurfaceSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, 1.0, static_cast<double>(0.1f), 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

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
