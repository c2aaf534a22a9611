// A window system with no display and no GL, for tests: it counts what exists, logs each call
// and fails any step on request. Messages come only from platformPostMessage/platformPostInput.
#pragma once

#include "platform/window_system.h"

#include <string>
#include <vector>

enum class NullStep {
    OpenDisplay,
    RegisterClass,
    CreateWindow,
    GetDC,
    ChoosePixelFormat,
    SetPixelFormat, // the GL window that carries the chosen format
    CreateContext,
    MakeCurrent,
    ReleaseCurrent, // making no context current
    DeleteContext,
    ReleaseDC,
    DestroyWindow,
    UnregisterClass,
    Count
};

struct NullSystemState {
    bool fail[static_cast<int>(NullStep::Count)] = {};
    bool displayOpen = false;
    int classes = 0;
    int liveWindows = 0;
    int liveDCs = 0;
    int liveContexts = 0;
    void* currentContext = nullptr;
    int swaps = 0;
    std::vector<std::string> calls;
};

NullSystemState& nullSystemState();
// Installs the null system with a fresh state (nothing fails, nothing exists) and forgets every
// platform window and message.
void installNullSystem();
// Back to SDL, forgetting every platform window and message.
void uninstallNullSystem();
