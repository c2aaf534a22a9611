#include "platform/every_platform.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <iterator>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

struct SdlPlatform {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool glLoaded = false;
    bool current = false;
};
SdlPlatform sdl;

bool driverIs(const char* name) {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && SDL_strcasecmp(driver, name) == 0;
}

bool requested(const char* driver) {
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    return wanted != nullptr && SDL_strcasecmp(wanted, driver) == 0;
}

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

std::string displayEnvironment() {
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    }
    std::string text = "could not connect to";
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (set(variable)) {
            text += std::string(" ") + variable + "=" + std::getenv(variable);
        }
    }
    return text;
}

SDL_Window* makeWindow(const char* title, int width, int height) {
    return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_OPENGL);
}

// SDL key codes to virtual-key codes, in pairs, besides letters, digits, F1..F12 and keypad
// 1..9.
constexpr SDL_Keycode keyPairs[] = {
    SDLK_BACKSPACE,    VK_BACK,    SDLK_TAB,          VK_TAB,      SDLK_RETURN,      VK_RETURN,
    SDLK_KP_ENTER,     VK_RETURN,  SDLK_LSHIFT,       VK_SHIFT,    SDLK_RSHIFT,      VK_SHIFT,
    SDLK_LCTRL,        VK_CONTROL, SDLK_RCTRL,        VK_CONTROL,  SDLK_LALT,        VK_MENU,
    SDLK_RALT,         VK_MENU,    SDLK_PAUSE,        19,          SDLK_CAPSLOCK,    20,
    SDLK_ESCAPE,       VK_ESCAPE,  SDLK_SPACE,        VK_SPACE,    SDLK_PAGEUP,      VK_PRIOR,
    SDLK_PAGEDOWN,     VK_NEXT,    SDLK_END,          VK_END,      SDLK_HOME,        VK_HOME,
    SDLK_LEFT,         VK_LEFT,    SDLK_UP,           VK_UP,       SDLK_RIGHT,       VK_RIGHT,
    SDLK_DOWN,         VK_DOWN,    SDLK_PRINTSCREEN,  44,          SDLK_INSERT,      VK_INSERT,
    SDLK_DELETE,       VK_DELETE,  SDLK_LGUI,         91,          SDLK_RGUI,        92,
    SDLK_APPLICATION,  93,         SDLK_KP_0,         VK_NUMPAD0,  SDLK_KP_MULTIPLY, VK_MULTIPLY,
    SDLK_KP_PLUS,      VK_ADD,     SDLK_KP_MINUS,     VK_SUBTRACT, SDLK_KP_PERIOD,   110,
    SDLK_KP_DIVIDE,    VK_DIVIDE,  SDLK_NUMLOCKCLEAR, 144,         SDLK_SCROLLLOCK,  145,
    SDLK_SEMICOLON,    VK_OEM_1,   SDLK_EQUALS,       187,         SDLK_COMMA,       188,
    SDLK_MINUS,        189,        SDLK_PERIOD,       190,         SDLK_SLASH,       191,
    SDLK_BACKQUOTE,    192,        SDLK_LEFTBRACKET,  VK_OEM_4,    SDLK_BACKSLASH,   220,
    SDLK_RIGHTBRACKET, 221,        SDLK_QUOTE,        222};

int virtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return 'A' + (key - SDLK_a);
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return key;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return VK_F1 + (key - SDLK_F1);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    }
    for (std::size_t i = 0; i < std::size(keyPairs); i += 2) {
        if (keyPairs[i] == key) {
            return keyPairs[i + 1];
        }
    }
    return 0;
}

// SDL announces the desktop's size as soon as fullscreen is asked for, but without a window
// manager to grant it the X window keeps its size: the size X itself reports is the one drawn
// into. A window manager's resize comes later as a change of its own.
void realWindowSize(SDL_Window* window, int* width, int* height) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        ::Window root;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        if (XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &w, &h,
                         &border, &depth) != 0) {
            *width = static_cast<int>(w);
            *height = static_cast<int>(h);
        }
    }
#else
    (void)window, (void)width, (void)height;
#endif
}

// false for SDL events the shell does not react to.
bool translate(const SDL_Event& e, Event* out) {
    switch (e.type) {
    case SDL_DROPFILE: // SDL hands the name over; it is ours to free, reported or not
        if (platformExtraEvents().on && e.drop.file != nullptr) {
            platformExtraEvents().droppedFile = e.drop.file;
            *out = Event{EventType::FileDropped};
        }
        SDL_free(e.drop.file);
        return platformExtraEvents().on && e.drop.file != nullptr;
    case SDL_MOUSEWHEEL:
        if (!platformExtraEvents().on || e.wheel.y == 0) {
            return false;
        }
        *out = Event{EventType::MouseWheel,
                     e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y};
        return true;
    case SDL_QUIT: // an interrupt or the session ending: the same request as the close box
        *out = Event{EventType::Close};
        return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        *out = Event{e.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp,
                     virtualKey(e.key.keysym.sym)};
        return out->a != 0;
    case SDL_MOUSEMOTION:
        *out = Event{EventType::MouseMove, e.motion.x, e.motion.y};
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        const int button = e.button.button == SDL_BUTTON_LEFT     ? 0
                           : e.button.button == SDL_BUTTON_RIGHT  ? 1
                           : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                  : -1;
        *out = Event{e.type == SDL_MOUSEBUTTONDOWN ? EventType::ButtonDown : EventType::ButtonUp,
                     e.button.x, e.button.y, button};
        return button >= 0;
    }
    case SDL_WINDOWEVENT:
        break;
    default:
        return false;
    }
    SDL_Window* window = SDL_GetWindowFromID(e.window.windowID);
    if (window == nullptr) {
        return false;
    }
    int w = e.window.data1;
    int h = e.window.data2;
    switch (e.window.event) {
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        SDL_GetWindowSize(window, &w, &h);
        [[fallthrough]];
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        realWindowSize(window, &w, &h);
        *out = Event{EventType::Resized, w, h};
        return true;
    case SDL_WINDOWEVENT_MINIMIZED:
        *out = Event{EventType::Resized, 0, 0};
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        *out = Event{EventType::Close};
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        *out = Event{e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED ? EventType::FocusGained
                                                                    : EventType::FocusLost};
        return true;
    case SDL_WINDOWEVENT_LEAVE:
        *out = Event{EventType::MouseLeave};
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
        if (!platformExtraEvents().on) {
            return false;
        }
        *out = Event{EventType::Exposed};
        return true;
    default:
        return false;
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_LEAK_CHECKED 1
#endif
#endif

void keepGlDriverLoaded() {
#ifdef VELMORA_LEAK_CHECKED
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) -> int {
            const char* name = info->dlpi_name;
            for (const char* driver :
                 {"_dri.so", "libgallium", "libEGL_mesa.so", "libGLX_mesa.so"}) {
                if (name != nullptr && std::strstr(name, driver) != nullptr) {
                    dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                }
            }
            return 0;
        },
        nullptr);
#endif
}

} // namespace

bool platformOpenDisplay(std::string* reason, bool headless) {
    if (headless) {
        // In the environment, not a hint, so that a message box asked for before the display
        // is up knows there is no screen either.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
#ifdef __GLIBC__
    // Mesa's software renderer allocates and frees megabytes of scratch memory every frame. By
    // default glibc gives the top of its heap back to the kernel on each free, so every frame
    // paid for fresh pages the kernel had to clear (a quarter of a small frame's time). Keep
    // them in the process.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
    // The close box becomes an event of ours; SDL must not add a quit event of its own for it.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (std::getenv("SDL_VIDEODRIVER") == nullptr && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
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
    for (const char* headless : {"offscreen", "dummy"}) {
        if (driverIs(headless) && !requested(headless)) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            *reason = displayEnvironment();
            return false;
        }
    }
    return true;
}

void platformCloseNative() {
    if (sdl.glLoaded) {
        SDL_GL_UnloadLibrary();
        sdl.glLoaded = false;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool platformChooseFormat(int colorBits, int depthBits) {
    if (!sdl.glLoaded) {
        if (SDL_GL_LoadLibrary(nullptr) != 0) {
            return false;
        }
        sdl.glLoaded = true;
    }
    const bool deep = colorBits > 16;
    SDL_GL_ResetAttributes();
    return SDL_GL_SetAttribute(SDL_GL_RED_SIZE, deep ? 8 : 5) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, deep ? 8 : 6) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, deep ? 8 : 5) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0 &&
           SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY) ==
               0;
}

bool platformCreateWindow(const char* title, int width, int height, const Image* icon) {
    sdl.window = makeWindow(title, width, height);
    if (sdl.window == nullptr) {
        return false;
    }
    if (icon != nullptr && !icon->rgba.empty()) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint8_t*>(icon->rgba.data()), icon->width, icon->height, 32,
            icon->width * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface != nullptr) {
            SDL_SetWindowIcon(sdl.window, surface);
            SDL_FreeSurface(surface);
        }
    }
    return true;
}

bool platformCreateContext() {
    sdl.context = sdl.window != nullptr ? SDL_GL_CreateContext(sdl.window) : nullptr;
    if (sdl.context != nullptr) {
        // Creating makes it current; that is platformMakeCurrent's step.
        SDL_GL_MakeCurrent(nullptr, nullptr);
        keepGlDriverLoaded();
    }
    return sdl.context != nullptr;
}

bool platformMakeCurrent(bool current) {
    bool ok =
        SDL_GL_MakeCurrent(current ? sdl.window : nullptr, current ? sdl.context : nullptr) == 0;
    sdl.current = ok && current && sdl.context != nullptr;
    return ok;
}

void platformDeleteContext() {
    if (sdl.context != nullptr) {
        if (sdl.current) {
            SDL_GL_MakeCurrent(nullptr, nullptr);
            sdl.current = false;
        }
        SDL_GL_DeleteContext(sdl.context);
        sdl.context = nullptr;
    }
}

void platformDestroyWindow() {
    if (sdl.window != nullptr) {
        SDL_DestroyWindow(sdl.window);
        sdl.window = nullptr;
    }
}

void platformShowWindow() {
    if (sdl.window != nullptr) {
        SDL_ShowWindow(sdl.window);
        SDL_RaiseWindow(sdl.window);
    }
}

void platformToggleFullscreen() {
    if (sdl.window != nullptr) {
        const bool full = (SDL_GetWindowFlags(sdl.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
                          SDL_WINDOW_FULLSCREEN_DESKTOP;
        SDL_SetWindowFullscreen(sdl.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
}

void platformSetWindowSize(int width, int height) {
    if (sdl.window == nullptr || width <= 0 || height <= 0) {
        return;
    }
    if (!driverIs("offscreen")) {
        SDL_SetWindowSize(sdl.window, width, height);
        return;
    }
    // The offscreen driver's drawable keeps the size it was made with: a new window of the new
    // size takes over, with the context.
    SDL_Window* replacement = makeWindow(SDL_GetWindowTitle(sdl.window), width, height);
    if (replacement == nullptr) {
        return;
    }
    SDL_ShowWindow(replacement);
    if (sdl.current) {
        SDL_GL_MakeCurrent(replacement, sdl.context);
    }
    SDL_DestroyWindow(sdl.window);
    sdl.window = replacement;
}

bool platformGLCurrent() {
    return sdl.current;
}

void platformSwapBuffers() {
    if (sdl.window != nullptr) {
        SDL_GL_SwapWindow(sdl.window);
    }
}

bool platformPollEvent(Event* event) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return false;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        if (translate(e, event)) {
            return true;
        }
    }
    return false;
}

bool platformShowNativeBox(const char* caption, const char* text, MessageBoxIcon icon) {
    // The offscreen and dummy drivers have no screen; SDL would otherwise try to open an X
    // connection of its own for the box.
    const bool up = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    for (const char* headless : {"offscreen", "dummy"}) {
        if (up ? driverIs(headless) : requested(headless)) {
            return false;
        }
    }
    return SDL_ShowSimpleMessageBox(icon == MessageBoxIcon::Exclamation
                                        ? SDL_MESSAGEBOX_WARNING
                                        : SDL_MESSAGEBOX_INFORMATION,
                                    caption, text, nullptr) == 0;
}
