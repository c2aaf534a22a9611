// The main window's procedure: key table, quit request, resize, mouse look.
//
// Key codes of 256 or more (only a hand-made message can carry one) are ignored instead of
// indexing past the table.
#pragma once

#include "platform/platform.h"

void windowProc(const Event& event);
// The main window lost the keyboard focus: every key is released.
void windowProcFocusLost();
