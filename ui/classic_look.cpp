#include "ui/classic_look.h"

void applyClassicStyle(ImVec2 windowPadding) {
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowRounding = 0.0f;
    style.FrameRounding = 0.0f;
    style.WindowBorderSize = 1.0f;
    style.FrameBorderSize = 1.0f;
    style.WindowPadding = windowPadding;
    style.WindowTitleAlign = ImVec2(0.0f, 0.5f);
    ImVec4* c = style.Colors;
    c[ImGuiCol_WindowBg] = ImGui::ColorConvertU32ToFloat4(classicFaceColour);
    c[ImGuiCol_Text] = ImVec4(0.0f, 0.0f, 0.0f, 1.0f);
    c[ImGuiCol_Border] = ImVec4(0.25f, 0.25f, 0.25f, 1.0f);
    c[ImGuiCol_BorderShadow] = ImVec4(0.0f, 0.0f, 0.0f, 0.0f);
    c[ImGuiCol_TitleBgActive] = ImVec4(10 / 255.0f, 36 / 255.0f, 106 / 255.0f, 1.0f);
    c[ImGuiCol_TitleBg] = ImVec4(128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 1.0f);
    c[ImGuiCol_TitleBgCollapsed] = c[ImGuiCol_TitleBg];
    c[ImGuiCol_Button] = ImGui::ColorConvertU32ToFloat4(classicFaceColour);
    c[ImGuiCol_ButtonHovered] = ImVec4(0.88f, 0.87f, 0.84f, 1.0f);
    c[ImGuiCol_ButtonActive] = ImVec4(0.70f, 0.69f, 0.66f, 1.0f);
}

void drawSunkenBox(ImDrawList* list, float left, float top, float right, float bottom) {
    list->AddLine(ImVec2(left, top), ImVec2(right, top), classicShadowColour);
    list->AddLine(ImVec2(left, top), ImVec2(left, bottom), classicShadowColour);
    list->AddLine(ImVec2(left, bottom - 1), ImVec2(right, bottom - 1), classicHighlightColour);
    list->AddLine(ImVec2(right - 1, top), ImVec2(right - 1, bottom), classicHighlightColour);
}
