// An offscreen GL compatibility context for the tone-shader tests, one per test program, made
// on first use and kept until the process ends, as the demo keeps its own: closing it would
// unload the driver with allocations the leak checker can then no longer attribute.
//
// SDL's offscreen driver gives a real context without a display. The colour depth asked for is
// the demo's 16 bits, but the driver may hand out 8-8-8; pixel checks read the channel depth
// back and derive their tolerance from it.
#pragma once

#include <SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

struct Rgb {
    int r;
    int g;
    int b;
};

// A block of the colour buffer, 8 bits per channel, bottom row first as glReadPixels gives it.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> data;

    Rgb at(int x, int y) const {
        std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return Rgb{data[i], data[i + 1], data[i + 2]};
    }
};

class OffscreenGl {
  public:
    // The largest picture any test draws; tests draw into the lower-left corner of it.
    static constexpr int windowWidth = 400;
    static constexpr int windowHeight = 300;

    static bool open() {
        if (window != nullptr) {
            return true;
        }
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            ADD_FAILURE() << "SDL_Init: " << SDL_GetError();
            return false;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window = SDL_CreateWindow("toon test", 0, 0, windowWidth, windowHeight,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window == nullptr) {
            ADD_FAILURE() << "SDL_CreateWindow: " << SDL_GetError();
            return false;
        }
        context = SDL_GL_CreateContext(window);
        if (context == nullptr) {
            ADD_FAILURE() << "SDL_GL_CreateContext: " << SDL_GetError();
            return false;
        }
        SDL_GL_MakeCurrent(window, context);
        return true;
    }

    // The smallest channel depth of the colour buffer; 8 on llvmpipe, 5 on a 16-bit buffer.
    static int channelBits() {
        GLint r = 0;
        GLint g = 0;
        GLint b = 0;
        glGetIntegerv(GL_RED_BITS, &r);
        glGetIntegerv(GL_GREEN_BITS, &g);
        glGetIntegerv(GL_BLUE_BITS, &b);
        GLint bits = r < g ? r : g;
        return bits < b ? bits : b;
    }

    // The lower-left width x height pixels of the back buffer.
    static Pixels readPixels(int width, int height) {
        Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        pixels.data.resize(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data.data());
        return pixels;
    }

    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext context = nullptr;
};
