// The generic half of the window layer: window records, the queue, focus and input routing.
// Everything native goes through the installed WindowSystem (SDL unless a test installs the
// null system).
#include "platform/window.h"
#include "platform/window_system.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>

enum class WindowKind { TopLevel, Status, Dialog };

struct PlatformWindow {
    WindowKind kind = WindowKind::TopLevel;
    std::string className;
    WindowProc procedure = nullptr;
    WindowHandle parent = nullptr;
    void* native = nullptr;
    bool nativeHasGL = false;
    GLAttributes glAttributes{};
    std::string title;
    // Top level: client size (0 x 0 while minimised is only reported, not stored). Children:
    // their rectangle in the top-level window's client coordinates.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int reportedWidth = -1;
    int reportedHeight = -1;
    bool visible = false;
    bool shownBefore = false;
    bool destroying = false;
    int id = 0;
    int dialogResult = 0;
};

struct PlatformDC {
    WindowHandle window = nullptr;
    bool chosen = false;
    GLAttributes attributes{};
};

struct PlatformRC {
    void* native = nullptr;
    DeviceContext dc = nullptr;
};

namespace {

struct RegisteredClass {
    std::string name;
    WindowProc procedure = nullptr;
    Image icon;
};

// The platform's one home for state: the window system, what exists, the queue and the input
// routing. Reset only by platformResetWindowState.
struct PlatformState {
    const WindowSystem* system = nullptr;
    std::vector<RegisteredClass> classes;
    std::vector<std::unique_ptr<PlatformWindow>> windows;
    std::vector<std::unique_ptr<PlatformDC>> dcs;
    std::vector<std::unique_ptr<PlatformRC>> contexts;
    RenderingContext current = nullptr;
    std::deque<Message> queue;
    bool quitPosted = false;
    int quitCode = 0;
    WindowHandle focus = nullptr;
    // The focus to give back when the application is activated again.
    WindowHandle focusWhenInactive = nullptr;
    bool active = false;
    WindowHandle capture = nullptr;
    WParam buttonsDown = 0;
    // The window the cursor was last over, for WM_MOUSELEAVE.
    WindowHandle mouseOver = nullptr;
    bool shiftDown = false;
    MessageBoxSink sink = nullptr;
    void* sinkContext = nullptr;
};

PlatformState state;

const WindowSystem& system() {
    return state.system != nullptr ? *state.system : platformSdlWindowSystem();
}

bool valid(WindowHandle window) {
    if (window == nullptr) {
        return false;
    }
    for (const auto& w : state.windows) {
        if (w.get() == window) {
            return true;
        }
    }
    return false;
}

bool validDC(DeviceContext dc) {
    return dc != nullptr &&
           std::any_of(state.dcs.begin(), state.dcs.end(),
                       [dc](const auto& d) { return d.get() == dc; }) &&
           valid(dc->window);
}

bool validRC(RenderingContext rc) {
    return rc != nullptr && std::any_of(state.contexts.begin(), state.contexts.end(),
                                        [rc](const auto& c) { return c.get() == rc; });
}

RegisteredClass* findClass(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    for (RegisteredClass& c : state.classes) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

WindowHandle topLevelWindow() {
    for (const auto& w : state.windows) {
        if (w->kind == WindowKind::TopLevel && !w->destroying) {
            return w.get();
        }
    }
    return nullptr;
}

WindowHandle windowForNative(void* native) {
    for (const auto& w : state.windows) {
        if (native != nullptr && w->native == native) {
            return w.get();
        }
    }
    return topLevelWindow();
}

WindowHandle topLevelOf(WindowHandle window) {
    while (window != nullptr && window->parent != nullptr) {
        window = window->parent;
    }
    return window;
}

bool contains(WindowHandle w, int x, int y) {
    return x >= w->x && y >= w->y && x < w->x + w->width && y < w->y + w->height;
}

// Dialogs lie above the status strip, which lies above the top-level window; among dialogs
// the one created last is on top.
WindowHandle windowAt(int x, int y) {
    for (auto it = state.windows.rbegin(); it != state.windows.rend(); ++it) {
        PlatformWindow* w = it->get();
        if (w->kind == WindowKind::Dialog && w->visible && contains(w, x, y)) {
            return w;
        }
    }
    for (auto it = state.windows.rbegin(); it != state.windows.rend(); ++it) {
        PlatformWindow* w = it->get();
        if (w->kind == WindowKind::Status && w->visible && contains(w, x, y)) {
            return w;
        }
    }
    return topLevelWindow();
}

bool isMouseMessage(std::uint32_t message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
}

bool isKeyMessage(std::uint32_t message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
}

WParam buttonOf(std::uint32_t message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return MK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return MK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return MK_MBUTTON;
    default:
        return 0;
    }
}

bool isButtonDown(std::uint32_t message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

// The character a key press types (US layout), 0 for none.
unsigned typedCharacter(WParam key) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<unsigned>(state.shiftDown ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9') {
        return static_cast<unsigned>(key);
    }
    if (key >= 96 && key <= 105) {
        return static_cast<unsigned>('0' + (key - 96));
    }
    switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
        return static_cast<unsigned>(key);
    case 106:
        return '*';
    case VK_ADD:
        return '+';
    case VK_SUBTRACT:
        return '-';
    case 110:
        return '.';
    case 111:
        return '/';
    case 186:
        return ';';
    case 187:
        return '=';
    case 188:
        return ',';
    case 189:
        return '-';
    case 190:
        return '.';
    case 191:
        return '/';
    case 192:
        return '`';
    case 219:
        return '[';
    case 220:
        return '\\';
    case 221:
        return ']';
    case 222:
        return '\'';
    default:
        return 0;
    }
}

void forgetWindow(WindowHandle window) {
    if (state.focus == window) {
        state.focus = nullptr;
    }
    if (state.focusWhenInactive == window) {
        state.focusWhenInactive = nullptr;
    }
    if (state.capture == window) {
        state.capture = nullptr;
        state.buttonsDown = 0;
    }
    if (state.mouseOver == window) {
        state.mouseOver = nullptr;
    }
    std::erase_if(state.queue, [window](const Message& m) { return m.window == window; });
    std::erase_if(state.dcs, [window](const auto& d) { return d->window == window; });
    std::erase_if(state.windows, [window](const auto& w) { return w.get() == window; });
}

PlatformWindow* addWindow(WindowKind kind) {
    state.windows.push_back(std::make_unique<PlatformWindow>());
    PlatformWindow* w = state.windows.back().get();
    w->kind = kind;
    return w;
}

void noteMouseTarget(WindowHandle target) {
    WindowHandle top = topLevelWindow();
    if (state.mouseOver == top && top != nullptr && target != top) {
        state.queue.push_back(Message{top, WM_MOUSELEAVE, 0, 0});
    }
    state.mouseOver = target;
}

} // namespace

// --- Display -----------------------------------------------------------------------------

bool platformOpenDisplay(std::string* reason) {
    std::string ignored;
    return system().openDisplay(reason != nullptr ? reason : &ignored);
}

void platformCloseDisplay() {
    system().closeDisplay();
}

// --- Classes and windows -------------------------------------------------------------------

bool platformRegisterClass(const WindowClass* windowClass) {
    if (windowClass == nullptr || windowClass->name == nullptr ||
        windowClass->procedure == nullptr || findClass(windowClass->name) != nullptr) {
        return false;
    }
    if (!system().registerClass()) {
        return false;
    }
    RegisteredClass c;
    c.name = windowClass->name;
    c.procedure = windowClass->procedure;
    if (windowClass->icon != nullptr) {
        c.icon = *windowClass->icon;
    }
    state.classes.push_back(std::move(c));
    return true;
}

bool platformUnregisterClass(const char* name) {
    RegisteredClass* c = findClass(name);
    if (c == nullptr) {
        return false;
    }
    if (!system().unregisterClass()) {
        return false;
    }
    std::erase_if(state.classes, [name](const RegisteredClass& r) { return r.name == name; });
    return true;
}

WindowHandle platformCreateWindow(const char* className, const char* title, int width, int height) {
    RegisteredClass* c = findClass(className);
    if (c == nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    const char* text = title != nullptr ? title : "";
    void* native = system().createWindow(text, width, height, nullptr);
    if (native == nullptr) {
        return nullptr;
    }
    if (!c->icon.rgba.empty()) {
        system().setIcon(native, &c->icon);
    }
    PlatformWindow* w = addWindow(WindowKind::TopLevel);
    w->className = c->name;
    w->procedure = c->procedure;
    w->native = native;
    w->title = text;
    w->width = width;
    w->height = height;
    w->reportedWidth = width;
    w->reportedHeight = height;
    if (w->procedure(w, WM_CREATE, 0, 0) == -1) {
        platformDestroyWindow(w);
        return nullptr;
    }
    return w;
}

WindowHandle platformCreateStatusWindow(WindowHandle parent, int id) {
    if (!valid(parent) || parent->kind != WindowKind::TopLevel) {
        return nullptr;
    }
    PlatformWindow* w = addWindow(WindowKind::Status);
    w->procedure = platformDefWindowProc;
    w->parent = parent;
    w->id = id;
    w->height = std::min(statusWindowHeight, parent->height);
    w->y = parent->height - w->height;
    w->width = parent->width;
    w->visible = true;
    return w;
}

WindowHandle platformCreateDialog(WindowHandle owner, WindowProc procedure, int x, int y, int width,
                                  int height) {
    if (!valid(owner) || procedure == nullptr) {
        return nullptr;
    }
    PlatformWindow* w = addWindow(WindowKind::Dialog);
    w->procedure = procedure;
    w->parent = owner;
    w->x = x;
    w->y = y;
    w->width = width;
    w->height = height;
    w->procedure(w, WM_INITDIALOG, 0, 0);
    return w;
}

bool platformDestroyWindow(WindowHandle window) {
    if (!valid(window)) {
        return false;
    }
    if (window->destroying) {
        return true;
    }
    window->destroying = true;
    std::vector<WindowHandle> children;
    for (const auto& w : state.windows) {
        if (w->parent == window) {
            children.push_back(w.get());
        }
    }
    for (WindowHandle child : children) {
        platformDestroyWindow(child);
    }
    window->procedure(window, WM_DESTROY, 0, 0);
    if (window->native != nullptr) {
        if (!system().destroyWindow(window->native)) {
            window->destroying = false;
            return false;
        }
        window->native = nullptr;
    }
    WindowHandle parent = window->parent;
    bool hadFocus = state.focus == window;
    forgetWindow(window);
    if (hadFocus && valid(parent) && !parent->destroying) {
        platformSetFocus(parent);
    }
    return true;
}

bool platformIsWindow(WindowHandle window) {
    return valid(window);
}

void platformShowWindow(WindowHandle window, bool show) {
    if (!valid(window)) {
        return;
    }
    if (show == window->visible) {
        if (show && window->kind == WindowKind::Dialog) {
            platformSetFocus(window);
        }
        return;
    }
    window->visible = show;
    if (window->native != nullptr) {
        system().showWindow(window->native, show);
    }
    if (show) {
        if (window->kind == WindowKind::TopLevel && !window->shownBefore) {
            window->shownBefore = true;
            window->procedure(window, WM_SIZE, SIZE_RESTORED,
                              makeLParam(window->width, window->height));
        }
        if (window->kind == WindowKind::Dialog) {
            platformSetFocus(window);
        }
    } else {
        WindowHandle f = state.focus;
        while (f != nullptr && f != window) {
            f = f->parent;
        }
        if (f == window) {
            platformSetFocus(window->parent);
        }
    }
}

bool platformIsWindowVisible(WindowHandle window) {
    return valid(window) && window->visible;
}

void platformSetForegroundWindow(WindowHandle window) {
    if (!valid(window)) {
        return;
    }
    WindowHandle top = topLevelOf(window);
    if (top->native != nullptr) {
        system().raiseWindow(top->native);
    }
    if (!state.active) {
        state.active = true;
        top->procedure(top, WM_ACTIVATE, WA_ACTIVE, 0);
    }
}

void platformSetFocus(WindowHandle window) {
    if (window != nullptr && (!valid(window) || window->destroying)) {
        return;
    }
    if (window == state.focus) {
        return;
    }
    WindowHandle old = state.focus;
    state.focus = window;
    if (valid(old)) {
        old->procedure(old, WM_KILLFOCUS, reinterpret_cast<WParam>(window), 0);
    }
    if (window != nullptr && state.focus == window) {
        window->procedure(window, WM_SETFOCUS, reinterpret_cast<WParam>(old), 0);
    }
}

WindowHandle platformGetFocus() {
    return state.focus;
}

void platformEndDialog(WindowHandle dialog, int result) {
    if (!valid(dialog) || dialog->kind != WindowKind::Dialog) {
        return;
    }
    dialog->dialogResult = result;
    platformShowWindow(dialog, false);
}

int platformDialogResult(WindowHandle dialog) {
    return valid(dialog) ? dialog->dialogResult : 0;
}

bool platformGetClientSize(WindowHandle window, int* width, int* height) {
    if (!valid(window)) {
        return false;
    }
    *width = window->width;
    *height = window->height;
    return true;
}

bool platformGetWindowRect(WindowHandle window, int* x, int* y, int* width, int* height) {
    if (!valid(window)) {
        return false;
    }
    *x = window->x;
    *y = window->y;
    *width = window->width;
    *height = window->height;
    return true;
}

void platformSetWindowRect(WindowHandle window, int x, int y, int width, int height) {
    if (!valid(window) || window->kind == WindowKind::TopLevel) {
        return;
    }
    window->x = x;
    window->y = y;
    window->width = std::max(0, width);
    window->height = std::max(0, height);
}

void platformSetClientSize(WindowHandle window, int width, int height) {
    if (!valid(window) || window->kind != WindowKind::TopLevel) {
        return;
    }
    width = std::clamp(width, 0, 0xFFFF);
    height = std::clamp(height, 0, 0xFFFF);
    if (width > 0 && height > 0) {
        window->width = width;
        window->height = height;
        if (window->native != nullptr) {
            void* native =
                system().setClientSize(window->native, width, height,
                                       window->nativeHasGL ? &window->glAttributes : nullptr);
            if (native != nullptr && native != window->native) {
                void* old = window->native;
                window->native = native;
                if (window->visible) {
                    system().showWindow(native, true);
                }
                // The context follows its window to the new drawable.
                if (state.current != nullptr && state.current->dc->window == window) {
                    system().makeCurrent(native, state.current->native);
                }
                system().destroyWindow(old);
            }
        }
    }
    window->reportedWidth = width;
    window->reportedHeight = height;
    state.queue.push_back(Message{window, WM_SIZE, SIZE_RESTORED, makeLParam(width, height)});
}

WindowHandle platformGetParent(WindowHandle window) {
    return valid(window) ? window->parent : nullptr;
}

int platformGetWindowId(WindowHandle window) {
    return valid(window) ? window->id : 0;
}

// --- Messages ------------------------------------------------------------------------------

bool platformPeekMessage(Message* message, bool remove) {
    system().pumpEvents();
    if (!state.queue.empty()) {
        *message = state.queue.front();
        if (remove) {
            state.queue.pop_front();
        }
        return true;
    }
    if (state.quitPosted) {
        *message = Message{nullptr, WM_QUIT, static_cast<WParam>(state.quitCode), 0};
        if (remove) {
            state.quitPosted = false;
        }
        return true;
    }
    return false;
}

bool platformPostMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window != nullptr && !valid(window)) {
        return false;
    }
    state.queue.push_back(Message{window, message, wParam, lParam});
    return true;
}

void platformPostInput(std::uint32_t message, WParam wParam, LParam lParam) {
    if (isKeyMessage(message)) {
        if (message != WM_CHAR && wParam == VK_SHIFT) {
            state.shiftDown = message == WM_KEYDOWN;
        }
        if (state.focus != nullptr) {
            state.queue.push_back(Message{state.focus, message, wParam, lParam});
        }
        return;
    }
    if (isMouseMessage(message)) {
        WindowHandle target = state.capture;
        if (target == nullptr) {
            target = windowAt(xFromLParam(lParam), yFromLParam(lParam));
        }
        if (target == nullptr) {
            return;
        }
        noteMouseTarget(target);
        WParam button = buttonOf(message);
        if (isButtonDown(message)) {
            if (state.buttonsDown == 0) {
                state.capture = target;
            }
            state.buttonsDown |= button;
            // A click gives the keyboard to the window clicked; the status strip takes none.
            platformSetFocus(target->kind == WindowKind::Status ? target->parent : target);
        } else if (button != 0) {
            state.buttonsDown &= ~button;
            if (state.buttonsDown == 0) {
                state.capture = nullptr;
            }
        }
        state.queue.push_back(Message{target, message, wParam, lParam});
        return;
    }
    WindowHandle top = topLevelWindow();
    if (top != nullptr) {
        state.queue.push_back(Message{top, message, wParam, lParam});
    }
}

void platformPostQuitMessage(int exitCode) {
    state.quitPosted = true;
    state.quitCode = exitCode;
}

LResult platformSendMessage(WindowHandle window, std::uint32_t message, WParam wParam,
                            LParam lParam) {
    if (!valid(window)) {
        return 0;
    }
    return window->procedure(window, message, wParam, lParam);
}

bool platformTranslateMessage(const Message* message) {
    if (message == nullptr || message->message != WM_KEYDOWN) {
        return false;
    }
    unsigned character = typedCharacter(message->wParam);
    if (character == 0) {
        return false;
    }
    // Posted ahead of later input, as the character belongs to this key press.
    state.queue.push_front(Message{message->window, WM_CHAR, character, message->lParam});
    return true;
}

LResult platformDispatchMessage(const Message* message) {
    if (message == nullptr || !valid(message->window)) {
        return 0;
    }
    return message->window->procedure(message->window, message->message, message->wParam,
                                      message->lParam);
}

LResult platformDefWindowProc(WindowHandle, std::uint32_t, WParam, LParam) {
    return 0;
}

// --- Device and rendering contexts ---------------------------------------------------------

DeviceContext platformGetDC(WindowHandle window) {
    if (!valid(window) || window->native == nullptr || !system().getDC(window->native)) {
        return nullptr;
    }
    state.dcs.push_back(std::make_unique<PlatformDC>());
    state.dcs.back()->window = window;
    return state.dcs.back().get();
}

bool platformReleaseDC(WindowHandle window, DeviceContext dc) {
    if (!validDC(dc) || dc->window != window) {
        return false;
    }
    if (!system().releaseDC(window->native)) {
        return false;
    }
    std::erase_if(state.dcs, [dc](const auto& d) { return d.get() == dc; });
    return true;
}

int platformChoosePixelFormat(DeviceContext dc, const PixelFormatRequest* request) {
    if (!validDC(dc) || request == nullptr || request->size != sizeof(PixelFormatRequest) ||
        request->version != 1 || request->pixelType != PFD_TYPE_RGBA ||
        (request->flags & PFD_SUPPORT_OPENGL) == 0 || (request->flags & PFD_DRAW_TO_WINDOW) == 0) {
        return 0;
    }
    GLAttributes a{};
    if (request->colorBits <= 16) {
        a.redBits = 5;
        a.greenBits = 6;
        a.blueBits = 5;
    } else {
        a.redBits = 8;
        a.greenBits = 8;
        a.blueBits = 8;
    }
    a.alphaBits = request->alphaBits;
    a.depthBits = request->depthBits;
    a.stencilBits = request->stencilBits;
    a.doubleBuffer = (request->flags & PFD_DOUBLEBUFFER) != 0;
    if (!system().choosePixelFormat(&a)) {
        return 0;
    }
    dc->chosen = true;
    dc->attributes = a;
    return 1;
}

bool platformSetPixelFormat(DeviceContext dc, int format, const PixelFormatRequest*) {
    if (!validDC(dc) || format != 1 || !dc->chosen) {
        return false;
    }
    PlatformWindow* w = dc->window;
    // The drawable's format is fixed when the native window is made (X picks the visual
    // then), so the window gets a new native window with the chosen format.
    void* native = system().createWindow(w->title.c_str(), w->width, w->height, &dc->attributes);
    if (native == nullptr) {
        return false;
    }
    if (RegisteredClass* c = findClass(w->className.c_str());
        c != nullptr && !c->icon.rgba.empty()) {
        system().setIcon(native, &c->icon);
    }
    if (w->visible) {
        system().showWindow(native, true);
    }
    system().destroyWindow(w->native);
    w->native = native;
    w->nativeHasGL = true;
    w->glAttributes = dc->attributes;
    return true;
}

RenderingContext platformCreateContext(DeviceContext dc) {
    if (!validDC(dc) || !dc->window->nativeHasGL) {
        return nullptr;
    }
    void* native = system().createContext(dc->window->native);
    if (native == nullptr) {
        return nullptr;
    }
    state.contexts.push_back(std::make_unique<PlatformRC>());
    state.contexts.back()->native = native;
    state.contexts.back()->dc = dc;
    return state.contexts.back().get();
}

bool platformMakeCurrent(DeviceContext dc, RenderingContext rc) {
    if (dc == nullptr && rc == nullptr) {
        if (!system().makeCurrent(nullptr, nullptr)) {
            return false;
        }
        state.current = nullptr;
        return true;
    }
    if (!validDC(dc) || !validRC(rc)) {
        return false;
    }
    if (!system().makeCurrent(dc->window->native, rc->native)) {
        return false;
    }
    state.current = rc;
    return true;
}

bool platformDeleteContext(RenderingContext rc) {
    if (!validRC(rc)) {
        return false;
    }
    if (state.current == rc) {
        system().makeCurrent(nullptr, nullptr);
        state.current = nullptr;
    }
    if (!system().deleteContext(rc->native)) {
        return false;
    }
    std::erase_if(state.contexts, [rc](const auto& c) { return c.get() == rc; });
    return true;
}

bool platformSwapBuffers(DeviceContext dc) {
    return validDC(dc) && system().swapBuffers(dc->window->native);
}

bool platformGLCurrent() {
    return system().hasGL && state.current != nullptr;
}

// --- Message boxes -------------------------------------------------------------------------

void platformMessageBox(WindowHandle, const char* text, const char* caption, MessageBoxIcon icon) {
    const char* t = text != nullptr ? text : "";
    const char* c = caption != nullptr ? caption : "";
    if (state.sink != nullptr) {
        state.sink(state.sinkContext, c, t, icon);
        return;
    }
    if (!system().showMessageBox(c, t, icon)) {
        std::fprintf(stderr, "%s: %s\n", c, t);
        std::fflush(stderr);
    }
}

void platformSetMessageBoxSink(MessageBoxSink sink, void* context) {
    state.sink = sink;
    state.sinkContext = sink != nullptr ? context : nullptr;
}

// --- Backend plumbing ----------------------------------------------------------------------

void platformSetWindowSystem(const WindowSystem* system) {
    state.system = system;
}

void platformNativeResized(void* native, int width, int height, WParam sizeType) {
    WindowHandle w = windowForNative(native);
    if (w == nullptr || (width == w->reportedWidth && height == w->reportedHeight)) {
        return;
    }
    w->reportedWidth = width;
    w->reportedHeight = height;
    if (sizeType != SIZE_MINIMIZED && width > 0 && height > 0) {
        w->width = width;
        w->height = height;
    }
    state.queue.push_back(Message{w, WM_SIZE, sizeType, makeLParam(width, height)});
}

void platformNativeCloseRequested(void* native) {
    WindowHandle w = windowForNative(native);
    if (w != nullptr) {
        state.queue.push_back(Message{w, WM_CLOSE, 0, 0});
    }
}

void platformNativeFocusChanged(void* native, bool gained) {
    WindowHandle w = windowForNative(native);
    if (w == nullptr) {
        return;
    }
    if (gained && !state.active) {
        state.active = true;
        w->procedure(w, WM_ACTIVATE, WA_ACTIVE, 0);
        WindowHandle restore = valid(state.focusWhenInactive) ? state.focusWhenInactive : w;
        state.focusWhenInactive = nullptr;
        platformSetFocus(restore);
    } else if (!gained && state.active) {
        state.active = false;
        state.focusWhenInactive = state.focus;
        platformSetFocus(nullptr);
        if (valid(w)) {
            w->procedure(w, WM_ACTIVATE, WA_INACTIVE, 0);
        }
    }
}

void platformNativeMouseLeft(void* native) {
    WindowHandle w = windowForNative(native);
    if (w != nullptr && state.mouseOver == w && state.capture == nullptr) {
        state.queue.push_back(Message{w, WM_MOUSELEAVE, 0, 0});
    }
    if (state.capture == nullptr) {
        state.mouseOver = nullptr;
    }
}

void platformResetWindowState() {
    const WindowSystem* system = state.system;
    MessageBoxSink sink = state.sink;
    void* sinkContext = state.sinkContext;
    state.classes.clear();
    state.contexts.clear();
    state.dcs.clear();
    state.windows.clear();
    state = PlatformState{};
    state.system = system;
    state.sink = sink;
    state.sinkContext = sinkContext;
}
