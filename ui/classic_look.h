// The look the demo's status bar and panels share with the viewer's: the desktop's face grey,
// boxes sunken into it, ImGui's own style set to match, and the status bar drawn in it.
#pragma once

#include <imgui.h>

#include <string>

inline constexpr ImU32 classicFaceColour = IM_COL32(212, 208, 200, 255);
inline constexpr ImU32 classicShadowColour = IM_COL32(128, 128, 128, 255);
inline constexpr ImU32 classicHighlightColour = IM_COL32(255, 255, 255, 255);
inline constexpr ImU32 classicTextColour = IM_COL32(0, 0, 0, 255);

// Square corners, one-pixel borders, the face grey, a navy title when active.
void applyClassicStyle(ImVec2 windowPadding);

// A status bar of width x height pixels from topLeft (nothing when either size is below 1): a box
// sunken into the face for each part, from the last part's right edge to its own, `edges[i]`
// pixels from the bar's left (-1: the bar's right end; held to the bar), with texts[i] clipped
// to it; a part ending left of where it would start is skipped. The part `growing` (-1: none)
// widens to fit its text. The size grip in the corner draws `gripLines` (2 or 3) lines a step.
struct StatusBar {
    ImVec2 topLeft;
    int width = 0;
    int height = 0;
    const int* edges = nullptr;
    const std::string* texts = nullptr;
    int parts = 0;
    int growing = -1;
    int gripLines = 3;
};
void drawStatusBar(ImDrawList* list, const StatusBar& bar);
