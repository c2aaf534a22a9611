// The platform in a web page (Emscripten's HTML5 API): the canvas "#canvas" is the window's
// client area, its WebGL 2 context the GL context, the browser's animation frames the buffer
// swaps. Built only into the web page (scripts/build-web.sh), with platform/every_platform.cpp; the
// desktop links platform/sdl_platform.cpp.
//
// Implemented: keys (the browser's legacy key codes are the virtual-key codes the shell uses),
// mouse moves and buttons over the canvas (under pointer lock the cursor is a virtual one moved
// by the pointer's travel, so mouse look keeps working), the canvas leaving, focus, window
// resizes (the canvas follows its element's size), fullscreen, message boxes as an alert line in
// the page, the counter from performance.now(). Not implemented: icons (a page has its own),
// dropped files, the wheel and exposures (never asked for by the demo), BMP decoding.
#include "platform/every_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <deque>

namespace {

constexpr const char* canvas = "#canvas";

// The one record of the page's platform state.
struct WebPlatform {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    bool current = false;
    std::deque<Event> events;
    bool haveSource = false;
    CounterSource source{};
    int width = 0;
    int height = 0;
    // Where the cursor is, in client pixels; under pointer lock moved by the pointer's travel.
    double cursorX = 0;
    double cursorY = 0;
};
WebPlatform web;

// The size the page lays the canvas out at, in CSS pixels (one canvas pixel each).
void elementSize(int* width, int* height) {
    double w = 0, h = 0;
    emscripten_get_element_css_size(canvas, &w, &h);
    *width = static_cast<int>(std::lround(w));
    *height = static_cast<int>(std::lround(h));
}

void followElementSize() {
    int w = 0, h = 0;
    elementSize(&w, &h);
    if (w <= 0 || h <= 0 || (w == web.width && h == web.height)) {
        return;
    }
    web.width = w;
    web.height = h;
    emscripten_set_canvas_element_size(canvas, w, h);
    web.events.push_back(Event{EventType::Resized, w, h});
}

// Keys the browser would act on itself (help, fullscreen, scrolling, find) are kept from it.
EM_BOOL keyEvent(int type, const EmscriptenKeyboardEvent* e, void*) {
    const int code = static_cast<int>(e->keyCode);
    if (code <= 0 || code >= 256) {
        return false;
    }
    web.events.push_back(
        Event{type == EMSCRIPTEN_EVENT_KEYDOWN ? EventType::KeyDown : EventType::KeyUp, code});
    return code == VK_F1 || code == VK_F11 || code == VK_F12 || code == VK_SPACE ||
           (code >= VK_PRIOR && code <= VK_DOWN) || code == VK_TAB || code == VK_BACK;
}

bool pointerLocked() {
    EmscriptenPointerlockChangeEvent state{};
    return emscripten_get_pointerlock_status(&state) == EMSCRIPTEN_RESULT_SUCCESS && state.isActive;
}

EM_BOOL mouseEvent(int type, const EmscriptenMouseEvent* e, void*) {
    if (pointerLocked()) {
        web.cursorX += e->movementX;
        web.cursorY += e->movementY;
    } else {
        web.cursorX = e->targetX;
        web.cursorY = e->targetY;
    }
    const int x = static_cast<int>(std::floor(web.cursorX));
    const int y = static_cast<int>(std::floor(web.cursorY));
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        web.events.push_back(Event{EventType::MouseMove, x, y});
    } else if (type == EMSCRIPTEN_EVENT_MOUSELEAVE) {
        if (!pointerLocked()) {
            web.events.push_back(Event{EventType::MouseLeave});
        }
    } else {
        // The browser numbers the middle button 1 and the right one 2.
        const int button = e->button == 1 ? 2 : e->button == 2 ? 1 : e->button;
        const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
        web.events.push_back(
            Event{down ? EventType::ButtonDown : EventType::ButtonUp, x, y, button});
    }
    return false;
}

EM_BOOL focusEvent(int type, const EmscriptenFocusEvent*, void*) {
    web.events.push_back(
        Event{type == EMSCRIPTEN_EVENT_FOCUS ? EventType::FocusGained : EventType::FocusLost});
    return false;
}

// A resize of the window or a change of fullscreen.
template <class Change> EM_BOOL sizeEvent(int, const Change*, void*) {
    followElementSize();
    return false;
}

} // namespace

bool platformOpenDisplay(std::string*, bool) {
    return true;
}

bool platformChooseFormat(int, int) {
    return true;
}

bool platformCreateWindow(const char*, int width, int height, const Image*) {
    // The page's layout decides the size; the size asked for is where it starts.
    elementSize(&web.width, &web.height);
    if (web.width <= 0 || web.height <= 0) {
        web.width = width;
        web.height = height;
    }
    emscripten_set_canvas_element_size(canvas, web.width, web.height);
    // A page on a virtual clock (a test) takes its input from its script alone: a real event
    // would take a turn of its own and move every later frame.
    if (EM_ASM_INT({ return Module.velmoraOptions && Module.velmoraOptions.frames > 0 ? 1 : 0; })) {
        return true;
    }
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, true, keyEvent);
    emscripten_set_keyup_callback(window, nullptr, true, keyEvent);
    emscripten_set_mousemove_callback(canvas, nullptr, true, mouseEvent);
    emscripten_set_mousedown_callback(canvas, nullptr, true, mouseEvent);
    emscripten_set_mouseup_callback(window, nullptr, true, mouseEvent);
    emscripten_set_mouseleave_callback(canvas, nullptr, true, mouseEvent);
    emscripten_set_focus_callback(window, nullptr, true, focusEvent);
    emscripten_set_blur_callback(window, nullptr, true, focusEvent);
    emscripten_set_resize_callback(window, nullptr, true, sizeEvent);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, true,
                                             sizeEvent);
    return true;
}

bool platformCreateContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    // Aliased edges, as the desktop's single-sample window has.
    attributes.antialias = false;
    // Not kept after the frame is shown (keeping it costs a copy a frame): F12 reads the
    // picture within the turn that drew it, and the page shows the last frame drawn until the
    // next one.
    attributes.preserveDrawingBuffer = false;
    web.context = emscripten_webgl_create_context(canvas, &attributes);
    return web.context > 0;
}

bool platformMakeCurrent(bool current) {
    if (web.context <= 0) {
        web.current = false;
        return !current;
    }
    bool ok = emscripten_webgl_make_context_current(current ? web.context : 0) ==
              EMSCRIPTEN_RESULT_SUCCESS;
    web.current = current && ok;
    return ok;
}

void platformDeleteContext() {
    if (web.context > 0) {
        emscripten_webgl_destroy_context(web.context);
    }
    web.context = 0;
    web.current = false;
}

void platformDestroyWindow() {
    web.events.clear();
}

void platformShowWindow() {}

void platformSetWindowSize(int width, int height) {
    // A scripted resize: the page lays the canvas out at that size.
    EM_ASM({ Module.setClientSize($0, $1); }, width, height);
    web.width = width;
    web.height = height;
    emscripten_set_canvas_element_size(canvas, width, height);
}

void platformToggleFullscreen() {
    EmscriptenFullscreenChangeEvent state{};
    emscripten_get_fullscreen_status(&state);
    if (state.isFullscreen) {
        emscripten_exit_fullscreen();
        return;
    }
    // Browsers grant fullscreen only inside an input handler: a request from an animation frame
    // waits for the next one (the release of F11).
    EmscriptenFullscreenStrategy strategy{};
    strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_DEFAULT;
    strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
    strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
    emscripten_request_fullscreen_strategy("#client", true, &strategy);
}

bool platformGLCurrent() {
    return web.current;
}

// The browser shows the frame when the animation-frame callback returns.
void platformSwapBuffers() {}

bool platformPollEvent(Event* event) {
    if (web.events.empty()) {
        return false;
    }
    *event = web.events.front();
    web.events.pop_front();
    return true;
}

void platformCloseNative() {}

bool platformShowNativeBox(const char* caption, const char* text, MessageBoxIcon) {
    EM_ASM({ Module.showMessageBox(UTF8ToString($0), UTF8ToString($1)); }, caption, text);
    return true;
}

bool platformDecodeBmp(const void*, std::size_t, Image* image, std::string* error) {
    *image = Image{};
    *error = "no BMP decoding in the web page";
    return false;
}

std::int64_t platformCounterFrequency() {
    return web.haveSource ? web.source.frequency(web.source.context) : 1'000'000;
}

// Microseconds: performance.now() is rounded to tens of microseconds or more anyway.
std::int64_t platformCounter() {
    return web.haveSource ? web.source.counter(web.source.context)
                          : static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
}

void platformSetCounterSource(const CounterSource* source) {
    web.haveSource = source != nullptr;
    web.source = source != nullptr ? *source : CounterSource{};
}

double platformSecondsSinceProcessStart() {
    return emscripten_get_now() / 1000.0;
}
