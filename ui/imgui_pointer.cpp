#include "ui/imgui_pointer.h"

#include <imgui.h>

#include <cfloat>

void imguiFeedPointer(const Event& e) {
    ImGuiIO& io = ImGui::GetIO();
    switch (e.type) {
    case EventType::ButtonDown:
    case EventType::ButtonUp:
        io.MouseDown[e.c] = e.type == EventType::ButtonDown;
        [[fallthrough]];
    case EventType::MouseMove:
        io.MousePos = ImVec2(static_cast<float>(e.a), static_cast<float>(e.b));
        break;
    case EventType::MouseLeave:
        if (!io.MouseDown[0] && !io.MouseDown[1] && !io.MouseDown[2]) {
            io.MousePos = ImVec2(-FLT_MAX, -FLT_MAX);
        }
        break;
    default:
        break;
    }
}
