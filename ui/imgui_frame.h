// Dear ImGui as the demo and the viewer run it: one context in our look, frames drawn with its
// GL 1 renderer, the pointer fed from our events.
#pragma once

#include "platform/platform.h"

#include <imgui.h>

// A new context, current: no settings or log file, the default font, the classic look with that
// window padding. With `renderer` (needs the GL context current) ImGui's GL 1 renderer is
// started too; without, the font atlas is built so that frames can be laid out all the same.
ImGuiContext* imguiStart(ImVec2 windowPadding, bool renderer);
// A frame over a width x height client area, `seconds` after the last (ImGui needs a positive
// step: held to 1e-4 .. 1). `render`: draw it with the renderer when it ends.
void imguiBeginFrame(int width, int height, float seconds, bool render);
void imguiEndFrame(bool render);
// `renderer`: stop the renderer too (needs the GL context current).
void imguiStop(ImGuiContext* context, bool renderer);

// A button, move or leave event of ours into ImGui's input; other events are left alone. The
// pointer leaving keeps its place while a button is held (a drag goes on outside).
void imguiFeedPointer(const Event& e);
