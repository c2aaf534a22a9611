// The window's status bar and panels, drawn with Dear ImGui in the demo's grey style: the status
// bar along the bottom, the key panel (H) and the panel with the reader's message.
#pragma once

#include "platform/platform.h"
#include "view/viewer.h"

constexpr int viewStatusBarHeight = 20;

// Needs the GL context current.
void overlayStart();
// Feeds a window event to ImGui.
void overlayInput(const Event& event);
// Whether the mouse is over a panel (so a press there is not the start of a drag).
bool overlayWantsMouse();
// Draws over the frame; closing the message panel clears viewer.error.
void overlayDraw(Viewer& viewer, int width, int height, const std::array<std::string, 5>& status,
                 float seconds);
void overlayStop();
