#include "ui/classic_look.h"

#include <algorithm>

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

namespace {

void drawSunkenBox(ImDrawList* list, float left, float top, float right, float bottom) {
    list->AddLine(ImVec2(left, top), ImVec2(right, top), classicShadowColour);
    list->AddLine(ImVec2(left, top), ImVec2(left, bottom), classicShadowColour);
    list->AddLine(ImVec2(left, bottom - 1), ImVec2(right, bottom - 1), classicHighlightColour);
    list->AddLine(ImVec2(right - 1, top), ImVec2(right - 1, bottom), classicHighlightColour);
}

} // namespace

void drawStatusBar(ImDrawList* list, const StatusBar& bar) {
    if (bar.width <= 0 || bar.height <= 0) {
        return;
    }
    const float x = bar.topLeft.x;
    const float y = bar.topLeft.y;
    const float bottom = y + static_cast<float>(bar.height);
    list->AddRectFilled(ImVec2(x, y), ImVec2(x + static_cast<float>(bar.width), bottom),
                        classicFaceColour);
    int left = 0;
    for (int part = 0; part < bar.parts; ++part) {
        int edge = bar.edges[part] < 0 ? bar.width : bar.edges[part];
        if (part == bar.growing) {
            const float need = ImGui::CalcTextSize(bar.texts[part].c_str()).x + 12.0f;
            edge = std::max(edge, left + static_cast<int>(need));
        }
        edge = std::min(edge, bar.width);
        if (edge <= left) {
            continue;
        }
        const auto l = x + static_cast<float>(left);
        const auto r = x + static_cast<float>(edge) - 2.0f;
        drawSunkenBox(list, l, y + 2.0f, r, bottom);
        list->PushClipRect(ImVec2(l + 1.0f, y + 2.0f), ImVec2(r - 1.0f, bottom - 1.0f), true);
        list->AddText(ImVec2(l + 4.0f, y + 2.0f + (static_cast<float>(bar.height) - 15.0f) * 0.5f),
                      classicTextColour, bar.texts[part].c_str());
        list->PopClipRect();
        left = edge;
    }
    const float right = x + static_cast<float>(bar.width);
    for (float d = 3.0f; d <= 11.0f; d += 4.0f) {
        list->AddLine(ImVec2(right - d - 1.0f, bottom - 1.0f),
                      ImVec2(right - 1.0f, bottom - d - 1.0f), classicHighlightColour);
        list->AddLine(ImVec2(right - d, bottom - 1.0f), ImVec2(right - 1.0f, bottom - d),
                      classicShadowColour);
        if (bar.gripLines > 2) {
            list->AddLine(ImVec2(right - d + 1.0f, bottom - 1.0f),
                          ImVec2(right - 1.0f, bottom - d + 1.0f), classicShadowColour);
        }
    }
}
