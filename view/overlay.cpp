#include "view/overlay.h"

#include "ui/classic_look.h"
#include "ui/imgui_frame.h"

#include <GL/gl.h>
#include <imgui.h>

#include <algorithm>
#include <string>

namespace {

// Right edges of the status bar's parts (file, triangles, winding, fps); the note takes the rest.
constexpr int partEdges[5] = {260, 390, 630, 720, -1};

ImGuiContext* context = nullptr;

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
    context = imguiStart(ImVec2(8.0f, 6.0f), true);
}

void overlayInput(const Event& e) {
    if (context == nullptr) {
        return;
    }
    imguiFeedPointer(e);
    if (e.type == EventType::MouseWheel) {
        ImGui::GetIO().MouseWheel += static_cast<float>(e.a);
    }
}

bool overlayWantsMouse() {
    return context != nullptr && ImGui::GetIO().WantCaptureMouse;
}

void overlayDraw(Viewer& viewer, int width, int height, const std::array<std::string, 5>& status,
                 float seconds) {
    if (context == nullptr || width <= 0 || height <= 0) {
        return;
    }
    glViewport(0, 0, width, height);
    imguiBeginFrame(width, height, seconds, true);
    const int top = std::max(0, height - viewStatusBarHeight);
    StatusBar bar{ImVec2(0.0f, static_cast<float>(top)), width, height - top};
    bar.edges = partEdges;
    bar.texts = status.data();
    bar.parts = static_cast<int>(status.size());
    bar.gripLines = 2;
    drawStatusBar(ImGui::GetBackgroundDrawList(), bar);
    drawKeyPanel(viewer);
    drawErrorPanel(viewer, width);
    imguiEndFrame(true);
}

void overlayStop() {
    if (context == nullptr) {
        return;
    }
    imguiStop(context, true);
    context = nullptr;
}
