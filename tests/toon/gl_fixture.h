// An offscreen GL compatibility context for the tone-shader tests, one per test program.
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

class OffscreenGl {
  public:
    static bool open(int width, int height) {
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
        window = SDL_CreateWindow("toon test", 0, 0, width, height,
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
        windowWidth = width;
        windowHeight = height;
        return true;
    }

    static void close() {
        if (context != nullptr) {
            SDL_GL_DeleteContext(context);
            context = nullptr;
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
            window = nullptr;
        }
        SDL_Quit();
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

    // Bottom row first, as glReadPixels returns them; 8 bits per channel.
    static std::vector<std::uint8_t> readPixels() {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(windowWidth) * windowHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, windowWidth, windowHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static Rgb pixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) {
        std::size_t i = (static_cast<std::size_t>(y) * windowWidth + x) * 3;
        return Rgb{pixels[i], pixels[i + 1], pixels[i + 2]};
    }

    static inline SDL_Window* window = nullptr;
    static inline SDL_GLContext context = nullptr;
    static inline int windowWidth = 0;
    static inline int windowHeight = 0;
};
