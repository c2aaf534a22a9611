// The main window's procedure and the keys an idle turn applies.
//
// The loop gives the procedure to the shell (Shell::procedure), which hands it the messages
// addressed to the main window and tells it when that window loses the keyboard focus; the shell
// never names these functions, so nothing here is called back by what it calls.
#pragma once

#include "platform/platform.h"
#include "shell/shell.h"

// Key table, quit request, resize, mouse look. Key codes outside 0..255 (only a hand-made
// message can carry one) are ignored instead of indexing past the table.
void windowProc(const Event& event);
// Every key is released: the release of a key held now goes to another window.
void windowProcFocusLost();
constexpr WindowProcedure mainWindowProcedure{windowProc, windowProcFocusLost};

// Applies the held keys (Escape, F1, F11, Alt+Enter, F12, C, P, arrows, keypad plus and minus,
// in that order); true when Escape is down.
bool applyIdleKeys();
