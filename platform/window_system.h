// The native side of the window layer: what platform/window.cpp asks of the system underneath.
//
// Two implementations: SDL (the default; the only code that includes SDL) and the null system
// (platform/null_system.h) for tests, which has no display and no GL but counts what exists and
// can fail any step on request. Native windows and contexts are opaque pointers; null means
// failure. The generic layer never calls a backend with a null native handle.
#pragma once

#include "platform/window.h"

// The colour, depth and buffering a GL drawable is created with.
struct GLAttributes {
    int redBits;
    int greenBits;
    int blueBits;
    int alphaBits;
    int depthBits;
    int stencilBits;
    bool doubleBuffer;
};

struct WindowSystem {
    bool (*openDisplay)(std::string* reason);
    void (*closeDisplay)();
    // The class is where the system comes up (SDL: the video subsystem) and goes down.
    bool (*registerClass)();
    bool (*unregisterClass)();
    // A hidden native window with that client size; gl null: no GL drawable (yet).
    void* (*createWindow)(const char* title, int width, int height, const GLAttributes* gl);
    bool (*destroyWindow)(void* native);
    void (*setIcon)(void* native, const Image* icon);
    void (*showWindow)(void* native, bool show);
    void (*raiseWindow)(void* native);
    // Resizes the client area; returns the native window to use from now on, which is a new
    // one (made with gl) where the system cannot resize a GL drawable (SDL's offscreen driver),
    // and null on failure. The caller destroys the old one when a new one came back.
    void* (*setClientSize)(void* native, int width, int height, const GLAttributes* gl);
    bool (*getDC)(void* native);
    bool (*releaseDC)(void* native);
    // Whether the system can make a GL drawable with these attributes at all.
    bool (*choosePixelFormat)(const GLAttributes* attributes);
    void* (*createContext)(void* native);
    // native and context both null: none current.
    bool (*makeCurrent)(void* native, void* context);
    bool (*deleteContext)(void* context);
    bool (*swapBuffers)(void* native);
    // true when contexts are real GL contexts.
    bool hasGL;
    // Turns pending device events into platformPostInput / platformNativeResized / ... calls.
    void (*pumpEvents)();
    // false when no box could be shown.
    bool (*showMessageBox)(const char* caption, const char* text, MessageBoxIcon icon);
};

// null restores SDL. Install before any window exists.
void platformSetWindowSystem(const WindowSystem* system);
const WindowSystem& platformSdlWindowSystem();

// Called by a backend while it pumps events.
// The native window's client size changed (minimised: 0 x 0, sizeType SIZE_MINIMIZED).
void platformNativeResized(void* native, int width, int height, WParam sizeType);
// The close box, or the system asking the program to end.
void platformNativeCloseRequested(void* native);
// The application gained or lost the keyboard.
void platformNativeFocusChanged(void* native, bool gained);
// The cursor left the native window.
void platformNativeMouseLeft(void* native);

// Forgets every window, DC, context, queued message and focus: for tests and tools that start
// a fresh run in the same process. Does not call the backend.
void platformResetWindowState();
