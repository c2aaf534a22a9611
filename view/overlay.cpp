#include "view/overlay.h"

#include "ui/classic_look.h"
#include "ui/imgui_pointer.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <imgui.h>

#include <algorithm>
#include <string>

namespace {

// Right edges of the status bar's parts (file, triangles, winding, fps); the note takes the rest.
constexpr int partEdges[4] = {260, 390, 630, 720};

bool started = false;

void drawStatusBar(int width, int height, const std::array<std::string, 5>& status) {
    const float top = static_cast<float>(std::max(0, height - viewStatusBarHeight));
    const float bottom = static_cast<float>(height);
    ImDrawList* list = ImGui::GetBackgroundDrawList();
    list->AddRectFilled(ImVec2(0.0f, top), ImVec2(static_cast<float>(width), bottom),
                        classicFaceColour);
    int left = 0;
    for (std::size_t part = 0; part < status.size(); ++part) {
        const int edge = std::min(part < 4 ? partEdges[part] : width, width);
        if (edge <= left) {
            continue;
        }
        const auto l = static_cast<float>(left);
        const auto r = static_cast<float>(edge) - 2.0f;
        drawSunkenBox(list, l, top + 2.0f, r, bottom);
        list->PushClipRect(ImVec2(l + 1.0f, top + 2.0f), ImVec2(r - 1.0f, bottom - 1.0f), true);
        list->AddText(ImVec2(l + 4.0f, top + 2.0f + (bottom - top - 15.0f) * 0.5f),
                      classicTextColour, status[part].c_str());
        list->PopClipRect();
        left = edge;
    }
    // The size grip in the corner.
    const auto right = static_cast<float>(width);
    for (float d = 3.0f; d <= 11.0f; d += 4.0f) {
        list->AddLine(ImVec2(right - d - 1.0f, bottom - 1.0f),
                      ImVec2(right - 1.0f, bottom - d - 1.0f), classicHighlightColour);
        list->AddLine(ImVec2(right - d, bottom - 1.0f), ImVec2(right - 1.0f, bottom - d),
                      classicShadowColour);
    }
}

const ImGuiWindowFlags panelFlags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                    ImGuiWindowFlags_NoSavedSettings |
                                    ImGuiWindowFlags_AlwaysAutoResize;

void keyRows(const std::vector<KeyHelp>& rows) {
    for (const KeyHelp& row : rows) {
        ImGui::TableNextRow();
        ImGui::TableNextColumn();
        ImGui::TextUnformatted(row.keys);
        ImGui::TableNextColumn();
        ImGui::TextUnformatted(row.action);
    }
}

void drawKeyPanel(Viewer& viewer) {
    if (!viewer.settings.help) {
        return;
    }
    ImGui::SetNextWindowPos(ImVec2(12.0f, 12.0f), ImGuiCond_Appearing);
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 1.0f, 1.0f, 1.0f));
    ImGui::Begin("Keys", &viewer.settings.help, panelFlags);
    ImGui::PopStyleColor();
    if (ImGui::BeginTable("keys", 2, ImGuiTableFlags_SizingFixedFit)) {
        keyRows(keyHelp);
        keyRows(mouseHelp);
        ImGui::EndTable();
    }
    ImGui::End();
}

// A failed read's message, or the notices of one that worked; named after its file.
void drawErrorPanel(Viewer& viewer, int width) {
    const bool failed = !viewer.error.empty();
    if (!failed && viewer.notices.empty()) {
        return;
    }
    const float panelWidth = std::min(560.0f, static_cast<float>(width) - 24.0f);
    ImGui::SetNextWindowPos(ImVec2(static_cast<float>(width) - panelWidth - 12.0f, 12.0f),
                            ImGuiCond_Appearing);
    ImGui::SetNextWindowSize(ImVec2(panelWidth, 0.0f), ImGuiCond_Always);
    bool open = true;
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 1.0f, 1.0f, 1.0f));
    // The title changes with the file; the part after ### keeps the panel's place.
    const std::string title =
        (failed ? "Can't read " : "Notes on ") + viewer.panelFile + "###panel";
    ImGui::Begin(title.c_str(), &open, panelFlags & ~ImGuiWindowFlags_AlwaysAutoResize);
    ImGui::PopStyleColor();
    ImGui::TextWrapped("%s", failed ? viewer.error.c_str() : viewer.notices.c_str());
    ImGui::Spacing();
    if (failed) {
        ImGui::TextWrapped("%s", viewer.model != nullptr ? "The model shown is the last one read."
                                                         : "No model is shown.");
    }
    if (ImGui::Button("OK", ImVec2(75.0f, 0.0f))) {
        open = false;
    }
    ImGui::End();
    if (!open) {
        viewer.error.clear();
        viewer.notices.clear();
    }
}

} // namespace

void overlayStart() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.Fonts->AddFontDefault();
    applyClassicStyle(ImVec2(8.0f, 6.0f));
    ImGui_ImplOpenGL2_Init();
    started = true;
}

void overlayInput(const Event& e) {
    if (!started) {
        return;
    }
    imguiFeedPointer(e);
    if (e.type == EventType::MouseWheel) {
        ImGui::GetIO().MouseWheel += static_cast<float>(e.a);
    }
}

bool overlayWantsMouse() {
    return started && ImGui::GetIO().WantCaptureMouse;
}

void overlayDraw(Viewer& viewer, int width, int height, const std::array<std::string, 5>& status,
                 float seconds) {
    if (!started || width <= 0 || height <= 0) {
        return;
    }
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    io.DeltaTime = std::clamp(seconds, 1e-4f, 1.0f);
    glViewport(0, 0, width, height);
    ImGui_ImplOpenGL2_NewFrame();
    ImGui::NewFrame();
    drawStatusBar(width, height, status);
    drawKeyPanel(viewer);
    drawErrorPanel(viewer, width);
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

void overlayStop() {
    if (!started) {
        return;
    }
    ImGui_ImplOpenGL2_Shutdown();
    ImGui::DestroyContext();
    started = false;
}
