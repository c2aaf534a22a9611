#include "platform/null_system.h"

#include <algorithm>
#include <memory>

namespace {

NullSystemState nullState;

struct NullWindow {
    bool gl;
};
struct NullContext {
    int unused;
};

// Natives live here so that a test that forgets to destroy them leaks nothing.
std::vector<std::unique_ptr<NullWindow>> windowPool;
std::vector<std::unique_ptr<NullContext>> contextPool;

bool failing(NullStep step, const char* call) {
    nullState.calls.emplace_back(call);
    return nullState.fail[static_cast<int>(step)];
}

bool openDisplay(std::string* reason) {
    if (failing(NullStep::OpenDisplay, "openDisplay")) {
        *reason = "no display (null window system)";
        return false;
    }
    nullState.displayOpen = true;
    return true;
}

void closeDisplay() {
    nullState.calls.emplace_back("closeDisplay");
    nullState.displayOpen = false;
}

bool registerClass() {
    if (failing(NullStep::RegisterClass, "registerClass")) {
        return false;
    }
    ++nullState.classes;
    return true;
}

bool unregisterClass() {
    if (failing(NullStep::UnregisterClass, "unregisterClass")) {
        return false;
    }
    --nullState.classes;
    return true;
}

void* createWindow(const char*, int, int, const GLAttributes* gl) {
    if (failing(gl != nullptr ? NullStep::SetPixelFormat : NullStep::CreateWindow,
                gl != nullptr ? "createWindow(gl)" : "createWindow")) {
        return nullptr;
    }
    ++nullState.liveWindows;
    windowPool.push_back(std::make_unique<NullWindow>(NullWindow{gl != nullptr}));
    return windowPool.back().get();
}

bool destroyWindow(void* native) {
    if (failing(NullStep::DestroyWindow, "destroyWindow")) {
        return false;
    }
    std::erase_if(windowPool, [native](const auto& w) { return w.get() == native; });
    --nullState.liveWindows;
    return true;
}

void setIcon(void*, const Image*) {
    nullState.calls.emplace_back("setIcon");
}
void showWindow(void*, bool show) {
    nullState.calls.emplace_back(show ? "show" : "hide");
}
void raiseWindow(void*) {
    nullState.calls.emplace_back("raise");
}
void* setClientSize(void* native, int, int, const GLAttributes*) {
    nullState.calls.emplace_back("setClientSize");
    return native;
}

bool getDC(void*) {
    if (failing(NullStep::GetDC, "getDC")) {
        return false;
    }
    ++nullState.liveDCs;
    return true;
}

bool releaseDC(void*) {
    if (failing(NullStep::ReleaseDC, "releaseDC")) {
        return false;
    }
    --nullState.liveDCs;
    return true;
}

bool choosePixelFormat(const GLAttributes*) {
    return !failing(NullStep::ChoosePixelFormat, "choosePixelFormat");
}

void* createContext(void*) {
    if (failing(NullStep::CreateContext, "createContext")) {
        return nullptr;
    }
    ++nullState.liveContexts;
    contextPool.push_back(std::make_unique<NullContext>());
    return contextPool.back().get();
}

bool makeCurrent(void*, void* context) {
    if (failing(context != nullptr ? NullStep::MakeCurrent : NullStep::ReleaseCurrent,
                context != nullptr ? "makeCurrent" : "makeCurrent(none)")) {
        return false;
    }
    nullState.currentContext = context;
    return true;
}

bool deleteContext(void* context) {
    if (failing(NullStep::DeleteContext, "deleteContext")) {
        return false;
    }
    if (nullState.currentContext == context) {
        nullState.currentContext = nullptr;
    }
    std::erase_if(contextPool, [context](const auto& c) { return c.get() == context; });
    --nullState.liveContexts;
    return true;
}

bool swapBuffers(void*) {
    ++nullState.swaps;
    return true;
}

void pumpEvents() {}

bool showMessageBox(const char*, const char*, MessageBoxIcon) {
    return false;
}

const WindowSystem nullSystem{
    openDisplay,       closeDisplay,   registerClass, unregisterClass, createWindow, destroyWindow,
    setIcon,           showWindow,     raiseWindow,   setClientSize,   getDC,        releaseDC,
    choosePixelFormat, createContext,  makeCurrent,   deleteContext,   swapBuffers,  false,
    pumpEvents,        showMessageBox,
};

} // namespace

NullSystemState& nullSystemState() {
    return nullState;
}

void installNullSystem() {
    platformResetWindowState();
    nullState = NullSystemState{};
    windowPool.clear();
    contextPool.clear();
    platformSetWindowSystem(&nullSystem);
}

void uninstallNullSystem() {
    platformResetWindowState();
    platformSetWindowSystem(nullptr);
}
