// The program's entry and its one loop.
//
// Each turn removes at most one message. A removed quit request ends the loop; any other
// message is shown to the overlay, translated (a character key also queues its character,
// which takes a turn of its own) and dispatched to the main window's procedure. A turn that
// found no message is an idle turn: it applies the held keys (shell/window_proc.h).
// Every turn then draws a frame (the scene, then the status bar and the About panel over it)
// and presents it, also the last one.
//
// The shell calls the scene and the camera directly; the loop tests link a recording scene in
// their place, as they link the null platform.
//
// Hooks let a tool run the real loop headless: it can advance a virtual clock and queue
// scripted input before a turn, read the finished frame before it is presented, and stop the
// loop after any turn.
#pragma once

#include "platform/platform.h"
#include "scene/scene.h"

#include <cstdint>

struct LoopHooks {
    void* context;
    // Before turn `turn` (1-based) looks at the queue. May be null.
    void (*beforeTurn)(void* context, std::int64_t turn);
    // The frame of `turn` is complete in the back buffer (scene, status bar, About panel) and
    // its GL context is current; the buffers are swapped right after. `last`: the loop ends
    // after this turn (a quit request or Escape; a hook's own end is not known here). May be
    // null.
    void (*framePresenting)(void* context, std::int64_t turn, bool last);
    // After the swap; returning false ends the loop after this turn. May be null.
    bool (*afterTurn)(void* context, std::int64_t turn);
};

// Exit status of `velmora` when there is no display to open the window on.
constexpr int exitNoDisplay = 2;

// The loop until a quit request, Escape on an idle turn, or afterTurn returning false. Returns
// the quit request's exit code (0 after a close), else 0.
int runMainLoop(const LoopHooks* hooks);

// One turn of that loop (turn 1-based, counted by the caller); false when the loop ends after
// it. A quit request stores its code in exitCode. What a page runs from each animation frame.
bool runLoopTurn(const LoopHooks* hooks, std::int64_t turn, int* exitCode);

// The program's start, alike for the desktop and the page: the main window's procedure given
// to the shell, createAppWindow("Velmora Demo", width, height, 16), the hidden About panel, the
// focus to the main window. false when the window failed (its message box is shown). The display
// must be open (platformOpenDisplay).
bool startApp(int width, int height);

// The program: startApp (exit code 0 if it fails), the loop, destroyAppWindow. Returns the exit
// code.
int appMain(int width, int height, const LoopHooks* hooks);
