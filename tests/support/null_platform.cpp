#include "tests/support/null_platform.h"
#include "platform/every_platform.h"

NullPlatform nullPlatform;

namespace {
NullPlatform& state = nullPlatform;

bool fails(NullStep step) {
    return state.fail[static_cast<int>(step)];
}
} // namespace

bool platformOpenDisplay(std::string* reason, bool) {
    if (fails(NullStep::OpenDisplay)) {
        *reason = "no display (null platform)";
        return false;
    }
    return true;
}

bool platformChooseFormat(int, int) {
    return !fails(NullStep::ChooseFormat);
}

bool platformCreateWindow(const char*, int width, int height, const Image*) {
    state.window = !fails(NullStep::CreateWindow);
    state.width = width;
    state.height = height;
    return state.window;
}

bool platformCreateContext() {
    state.context = state.window && !fails(NullStep::CreateContext);
    return state.context;
}

bool platformMakeCurrent(bool current) {
    if (fails(current ? NullStep::MakeCurrent : NullStep::ReleaseCurrent)) {
        state.current = false;
        return false;
    }
    state.current = current && state.context;
    return true;
}

void platformDeleteContext() {
    state.context = false;
    state.current = false;
}

void platformDestroyWindow() {
    state.window = false;
    state.shown = false;
}

void platformShowWindow() {
    state.shown = state.window;
}

void platformToggleFullscreen() {
    state.fullscreen = !state.fullscreen;
}

void platformSetWindowSize(int width, int height) {
    if (width > 0 && height > 0) {
        state.width = width;
        state.height = height;
    }
}

bool platformGLCurrent() {
    return false;
}

void platformSwapBuffers() {
    ++state.swaps;
}

bool platformPollEvent(Event* event) {
    if (state.events.empty()) {
        return false;
    }
    *event = state.events.front();
    state.events.pop_front();
    return true;
}

void platformCloseNative() {}

bool platformShowNativeBox(const char*, const char*, MessageBoxIcon) {
    return false;
}
