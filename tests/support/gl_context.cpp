#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

Pixels readPixels(int width, int height) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.data.resize(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data.data());
    return pixels;
}

int channelBits() {
    GLint bits[3] = {};
    glGetIntegerv(GL_RED_BITS, &bits[0]);
    glGetIntegerv(GL_GREEN_BITS, &bits[1]);
    glGetIntegerv(GL_BLUE_BITS, &bits[2]);
    return std::min({bits[0], bits[1], bits[2]});
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
