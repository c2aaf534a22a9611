// The main window's procedure: key table, quit request, resize, mouse look.
//
// Besides the table it was designed with, two things keep the key table honest:
// - key codes of 256 or more (only a hand-made message can carry one) are ignored instead of
//   indexing past the table;
// - when the window loses the keyboard focus (to the About panel, or to another program) every
//   key is released: the release of a key held at that moment goes to the new focus, and the
//   key would otherwise stay down, so an arrow key would keep moving the camera and F1 would
//   need two presses to show the About panel again.
// The mouse position is read from the signed halves of lParam, so a cursor dragged past the
// left or top edge reads negative rather than near 65535.
#pragma once

#include "platform/messages.h"

LResult windowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);
