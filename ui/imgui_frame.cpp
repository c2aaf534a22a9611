#include "ui/imgui_frame.h"

#include "ui/classic_look.h"

#include <backends/imgui_impl_opengl2.h>

#include <algorithm>
#include <cfloat>

ImGuiContext* imguiStart(ImVec2 windowPadding, bool renderer) {
    IMGUI_CHECKVERSION();
    ImGuiContext* context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.Fonts->AddFontDefault();
    applyClassicStyle(windowPadding);
    if (renderer) {
        ImGui_ImplOpenGL2_Init();
    } else {
        io.Fonts->Build();
    }
    return context;
}

void imguiBeginFrame(int width, int height, float seconds, bool render) {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    io.DeltaTime = std::clamp(seconds, 1e-4f, 1.0f);
    if (render) {
        ImGui_ImplOpenGL2_NewFrame();
    }
    ImGui::NewFrame();
}

void imguiEndFrame(bool render) {
    ImGui::Render();
    if (render) {
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    }
}

void imguiStop(ImGuiContext* context, bool renderer) {
    if (renderer) {
        ImGui_ImplOpenGL2_Shutdown();
    }
    ImGui::DestroyContext(context);
}

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
