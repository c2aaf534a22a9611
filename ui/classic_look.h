// The look the demo's status bar and panels share with the viewer's: the desktop's face grey,
// boxes sunken into it, and ImGui's own style set to match.
#pragma once

#include <imgui.h>

inline constexpr ImU32 classicFaceColour = IM_COL32(212, 208, 200, 255);
inline constexpr ImU32 classicShadowColour = IM_COL32(128, 128, 128, 255);
inline constexpr ImU32 classicHighlightColour = IM_COL32(255, 255, 255, 255);
inline constexpr ImU32 classicTextColour = IM_COL32(0, 0, 0, 255);

// Square corners, one-pixel borders, the face grey, a navy title when active.
void applyClassicStyle(ImVec2 windowPadding);
// A box sunken into the face: shadow on the top and left edges, highlight on the others.
void drawSunkenBox(ImDrawList* list, float left, float top, float right, float bottom);
