// The window system on SDL2: the only file besides the counter and the picture decoder that
// includes SDL.
#include "platform/sdl_keys.h"
#include "platform/window_system.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>

int platformVirtualKeyFromSdl(std::int32_t key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return key;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return 112 + (key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return 97 + (key - SDLK_KP_1);
    }
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_PAUSE:
        return 19;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_SPACE:
        return 32;
    case SDLK_PAGEUP:
        return 33;
    case SDLK_PAGEDOWN:
        return 34;
    case SDLK_END:
        return 35;
    case SDLK_HOME:
        return 36;
    case SDLK_LEFT:
        return 37;
    case SDLK_UP:
        return 38;
    case SDLK_RIGHT:
        return 39;
    case SDLK_DOWN:
        return 40;
    case SDLK_PRINTSCREEN:
        return 44;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    case SDLK_LGUI:
        return 91;
    case SDLK_RGUI:
        return 92;
    case SDLK_APPLICATION:
        return 93;
    case SDLK_KP_0:
        return 96;
    case SDLK_KP_MULTIPLY:
        return 106;
    case SDLK_KP_PLUS:
        return 107;
    case SDLK_KP_MINUS:
        return 109;
    case SDLK_KP_PERIOD:
        return 110;
    case SDLK_KP_DIVIDE:
        return 111;
    case SDLK_NUMLOCKCLEAR:
        return 144;
    case SDLK_SCROLLLOCK:
        return 145;
    case SDLK_SEMICOLON:
        return 186;
    case SDLK_EQUALS:
        return 187;
    case SDLK_COMMA:
        return 188;
    case SDLK_MINUS:
        return 189;
    case SDLK_PERIOD:
        return 190;
    case SDLK_SLASH:
        return 191;
    case SDLK_BACKQUOTE:
        return 192;
    case SDLK_LEFTBRACKET:
        return 219;
    case SDLK_BACKSLASH:
        return 220;
    case SDLK_RIGHTBRACKET:
        return 221;
    case SDLK_QUOTE:
        return 222;
    default:
        return 0;
    }
}

namespace {

bool glLibraryLoaded = false;

bool driverIs(const char* name) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) {
        driver = std::getenv("SDL_VIDEODRIVER");
    }
    return driver != nullptr && SDL_strcasecmp(driver, name) == 0;
}

bool requested(const char* driver) {
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    return wanted != nullptr && SDL_strcasecmp(wanted, driver) == 0;
}

std::string displayEnvironment() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x == nullptr || *x == '\0') && (wayland == nullptr || *wayland == '\0')) {
        return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    std::string text = "could not connect to";
    if (x != nullptr && *x != '\0') {
        text += std::string(" DISPLAY=") + x;
    }
    if (wayland != nullptr && *wayland != '\0') {
        text += std::string(" WAYLAND_DISPLAY=") + wayland;
    }
    return text;
}

bool openDisplay(std::string* reason) {
    // The close box becomes WM_CLOSE; SDL must not add a quit event of its own for it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (std::getenv("SDL_VIDEODRIVER") == nullptr && (x == nullptr || *x == '\0') &&
        (wayland == nullptr || *wayland == '\0')) {
        // Only a console display is left to try; the Wayland client library would print a
        // complaint of its own about the missing session first.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "KMSDRM");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *reason = displayEnvironment();
        return false;
    }
    // When nothing else works SDL falls back to its offscreen driver on its own; that is a
    // display only when asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr &&
        (SDL_strcasecmp(driver, "offscreen") == 0 || SDL_strcasecmp(driver, "dummy") == 0) &&
        !requested(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        *reason = displayEnvironment();
        return false;
    }
    return true;
}

void closeDisplay() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool registerClass() {
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

bool unregisterClass() {
    if (glLibraryLoaded) {
        SDL_GL_UnloadLibrary();
        glLibraryLoaded = false;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return true;
}

void* createWindow(const char* title, int width, int height, const GLAttributes* gl) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (gl != nullptr) {
        SDL_GL_ResetAttributes();
        bool ok = SDL_GL_SetAttribute(SDL_GL_RED_SIZE, gl->redBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, gl->greenBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, gl->blueBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, gl->alphaBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, gl->depthBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, gl->stencilBits) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, gl->doubleBuffer ? 1 : 0) == 0 &&
                  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK,
                                      SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) == 0;
        if (!ok) {
            return nullptr;
        }
        flags |= SDL_WINDOW_OPENGL;
    }
    return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            flags);
}

bool destroyWindow(void* native) {
    SDL_DestroyWindow(static_cast<SDL_Window*>(native));
    return true;
}

void setIcon(void* native, const Image* icon) {
    if (icon == nullptr || icon->rgba.size() != static_cast<std::size_t>(icon->width) *
                                                    static_cast<std::size_t>(icon->height) * 4) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(icon->rgba.data()), icon->width, icon->height, 32,
        icon->width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface != nullptr) {
        SDL_SetWindowIcon(static_cast<SDL_Window*>(native), surface);
        SDL_FreeSurface(surface);
    }
}

void showWindow(void* native, bool show) {
    if (show) {
        SDL_ShowWindow(static_cast<SDL_Window*>(native));
    } else {
        SDL_HideWindow(static_cast<SDL_Window*>(native));
    }
}

void raiseWindow(void* native) {
    SDL_RaiseWindow(static_cast<SDL_Window*>(native));
}

void* setClientSize(void* native, int width, int height, const GLAttributes* gl) {
    auto* window = static_cast<SDL_Window*>(native);
    if (gl != nullptr && driverIs("offscreen")) {
        // The offscreen driver's drawable keeps the size it was made with.
        void* replacement = createWindow(SDL_GetWindowTitle(window), width, height, gl);
        return replacement;
    }
    SDL_SetWindowSize(window, width, height);
    return native;
}

bool getDC(void* native) {
    return native != nullptr;
}

bool releaseDC(void* native) {
    return native != nullptr;
}

bool choosePixelFormat(const GLAttributes* attributes) {
    if (attributes->redBits <= 0 || attributes->depthBits < 0) {
        return false;
    }
    if (!glLibraryLoaded) {
        if (SDL_GL_LoadLibrary(nullptr) != 0) {
            return false;
        }
        glLibraryLoaded = true;
    }
    return true;
}

void* createContext(void* native) {
    // SDL makes a new context current; keep whatever was current, as creating a context
    // changes nothing else here.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(static_cast<SDL_Window*>(native));
    if (context != nullptr) {
        SDL_GL_MakeCurrent(previous != nullptr ? previousWindow : nullptr, previous);
    }
    return context;
}

bool makeCurrent(void* native, void* context) {
    return SDL_GL_MakeCurrent(static_cast<SDL_Window*>(native), context) == 0;
}

bool deleteContext(void* context) {
    SDL_GL_DeleteContext(context);
    return true;
}

bool swapBuffers(void* native) {
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(native));
    return true;
}

WParam mouseButtons(Uint32 state) {
    WParam buttons = 0;
    if ((state & SDL_BUTTON_LMASK) != 0) {
        buttons |= MK_LBUTTON;
    }
    if ((state & SDL_BUTTON_RMASK) != 0) {
        buttons |= MK_RBUTTON;
    }
    if ((state & SDL_BUTTON_MMASK) != 0) {
        buttons |= MK_MBUTTON;
    }
    return buttons;
}

void windowEvent(const SDL_WindowEvent& e) {
    SDL_Window* window = SDL_GetWindowFromID(e.windowID);
    if (window == nullptr) {
        return;
    }
    int w = 0;
    int h = 0;
    switch (e.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        platformNativeResized(window, e.data1, e.data2,
                              (SDL_GetWindowFlags(window) & SDL_WINDOW_MAXIMIZED) != 0
                                  ? SIZE_MAXIMIZED
                                  : SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        platformNativeResized(window, 0, 0, SIZE_MINIMIZED);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        SDL_GetWindowSize(window, &w, &h);
        platformNativeResized(
            window, w, h, e.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        platformNativeCloseRequested(window);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        platformNativeFocusChanged(window, true);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        platformNativeFocusChanged(window, false);
        break;
    case SDL_WINDOWEVENT_LEAVE:
        platformNativeMouseLeft(window);
        break;
    default:
        break;
    }
}

std::uint32_t buttonMessage(Uint8 button, bool down) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE:
        return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return 0;
    }
}

void pumpEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        switch (e.type) {
        case SDL_QUIT:
            // Interrupt signal or session end: the same request as the close box.
            platformNativeCloseRequested(nullptr);
            break;
        case SDL_WINDOWEVENT:
            windowEvent(e.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int key = platformVirtualKeyFromSdl(e.key.keysym.sym);
            if (key == 0) {
                break;
            }
            bool down = e.type == SDL_KEYDOWN;
            auto bits = static_cast<std::uint32_t>(1) |
                        ((static_cast<std::uint32_t>(e.key.keysym.scancode) & 0xFF) << 16);
            if (!down) {
                bits |= 0xC0000000u;
            } else if (e.key.repeat != 0) {
                bits |= 0x40000000u;
            }
            platformPostInput(down ? WM_KEYDOWN : WM_KEYUP, static_cast<WParam>(key),
                              static_cast<LParam>(bits));
            break;
        }
        case SDL_MOUSEMOTION:
            platformPostInput(WM_MOUSEMOVE, mouseButtons(e.motion.state),
                              makeLParam(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            std::uint32_t message = buttonMessage(e.button.button, e.type == SDL_MOUSEBUTTONDOWN);
            if (message != 0) {
                platformPostInput(message, mouseButtons(SDL_GetMouseState(nullptr, nullptr)),
                                  makeLParam(e.button.x, e.button.y));
            }
            break;
        }
        default:
            break;
        }
    }
}

bool showMessageBox(const char* caption, const char* text, MessageBoxIcon icon) {
    // The offscreen and dummy drivers have no screen; SDL would otherwise try to open an X
    // connection of its own for the box.
    if (driverIs("offscreen") || driverIs("dummy")) {
        return false;
    }
    Uint32 flags =
        icon == MessageBoxIcon::Exclamation ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) == 0;
}

const WindowSystem sdlSystem{
    openDisplay,       closeDisplay,   registerClass, unregisterClass, createWindow, destroyWindow,
    setIcon,           showWindow,     raiseWindow,   setClientSize,   getDC,        releaseDC,
    choosePixelFormat, createContext,  makeCurrent,   deleteContext,   swapBuffers,  true,
    pumpEvents,        showMessageBox,
};

} // namespace

const WindowSystem& platformSdlWindowSystem() {
    return sdlSystem;
}

bool platformDecodeBmp(const void* data, std::size_t size, Image* image, std::string* error) {
    if (data == nullptr || size == 0) {
        *error = "empty file";
        return false;
    }
    if (size < 2 || std::memcmp(data, "BM", 2) != 0) {
        *error = "not a BMP file (no \"BM\" signature)";
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(stream, 1);
    if (loaded == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (rgba == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    image->width = rgba->w;
    image->height = rgba->h;
    image->rgba.resize(static_cast<std::size_t>(rgba->w) * static_cast<std::size_t>(rgba->h) * 4);
    SDL_LockSurface(rgba);
    for (int row = 0; row < rgba->h; ++row) {
        std::memcpy(image->rgba.data() + static_cast<std::size_t>(row) * rgba->w * 4,
                    static_cast<const std::uint8_t*>(rgba->pixels) +
                        static_cast<std::size_t>(row) * rgba->pitch,
                    static_cast<std::size_t>(rgba->w) * 4);
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}
