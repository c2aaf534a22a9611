#include "shell/overlay.h"

#include "shell/about_panel.h"
#include "app/resources.h"
#include "ui/classic_look.h"
#include "ui/imgui_frame.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <imgui.h>

#include <algorithm>
#include <iterator>

namespace {

// The overlay's one home for state: ImGui's context (which holds the input it has seen) and the
// textures.
struct OverlayState {
    ImGuiContext* context = nullptr;
    bool renderer = false;
    GLuint aboutTexture = 0;
    GLuint iconTexture = 0;
    bool haveCount = false;
    std::int64_t lastCount = 0;
    bool aboutFocusedInImGui = false;
};

OverlayState overlay;

GLuint makeTexture(const Image& image) {
    if (image.rgba.empty()) {
        return 0;
    }
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return texture;
}

// Our codes of the keys ImGui's widgets read, in the order of ImGuiKey_ (Tab first, Z last).
constexpr int keyMap[ImGuiKey_COUNT] = {
    VK_TAB, VK_LEFT,   VK_RIGHT,  VK_UP,   VK_DOWN,  VK_PRIOR,  VK_NEXT,   VK_HOME,
    VK_END, VK_INSERT, VK_DELETE, VK_BACK, VK_SPACE, VK_RETURN, VK_ESCAPE, VK_RETURN,
    'A',    'C',       'V',       'X',     'Y',      'Z'};

void start() {
    overlay.renderer = platformGLCurrent();
    overlay.context = imguiStart(ImVec2(0.0f, 0.0f), overlay.renderer);
    std::copy(std::begin(keyMap), std::end(keyMap), ImGui::GetIO().KeyMap);
    if (overlay.renderer) {
        overlay.aboutTexture = makeTexture(resourceImage(IDB_ABOUT));
        overlay.iconTexture = makeTexture(resourceImage(IDI_VELMORA));
    }
}

float frameSeconds() {
    const std::int64_t frequency = platformCounterFrequency();
    const std::int64_t count = platformCounter();
    double seconds = 1.0 / 60.0;
    if (overlay.haveCount && frequency > 0 && count > overlay.lastCount) {
        seconds = static_cast<double>(count - overlay.lastCount) / static_cast<double>(frequency);
    }
    overlay.haveCount = true;
    overlay.lastCount = count;
    return static_cast<float>(seconds);
}

void drawShellStatusBar() {
    const auto [x, y, width, height] = shell.statusBar;
    StatusBar bar{ImVec2(static_cast<float>(x), static_cast<float>(y)), width, height};
    bar.edges = statusPartEdges;
    bar.texts = shell.status;
    bar.parts = statusPartCount;
    bar.growing = shell.noteShowing ? 1 : -1; // the note is longer than a size text
    drawStatusBar(ImGui::GetBackgroundDrawList(), bar);
}

void drawAboutPanel() {
    if (!shell.aboutVisible) {
        overlay.aboutFocusedInImGui = false;
        return;
    }
    const bool wantFocus = shell.focus == Target::Panel;
    if (wantFocus && !overlay.aboutFocusedInImGui) {
        ImGui::SetNextWindowFocus();
    } else if (!wantFocus && overlay.aboutFocusedInImGui) {
        ImGui::SetWindowFocus(nullptr);
    }
    Rect client = dialogUnitsToPixels(0, 0, aboutDialogUnitsWidth, aboutDialogUnitsHeight);
    const float titleHeight = ImGui::GetFrameHeight();
    ImGui::SetNextWindowPos(
        ImVec2(static_cast<float>(shell.aboutRect.x), static_cast<float>(shell.aboutRect.y)),
        ImGuiCond_Once);
    ImGui::SetNextWindowSize(
        ImVec2(static_cast<float>(client.width), static_cast<float>(client.height) + titleHeight),
        ImGuiCond_Always);
    bool open = true;
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 1.0f, 1.0f, 1.0f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar |
                                   ImGuiWindowFlags_NoScrollWithMouse;
    ImGui::Begin("About Velmora", &open, flags);
    ImGui::PopStyleColor();
    overlay.aboutFocusedInImGui = ImGui::IsWindowFocused();
    const ImVec2 position = ImGui::GetWindowPos();
    const ImVec2 size = ImGui::GetWindowSize();
    // Where ImGui put it (the user may drag it), for routing the mouse.
    shell.aboutRect =
        Rect{static_cast<int>(position.x), static_cast<int>(position.y),
             std::max(0, static_cast<int>(size.x)), std::max(0, static_cast<int>(size.y))};
    const ImVec2 origin(position.x, position.y + titleHeight);
    ImDrawList* list = ImGui::GetWindowDrawList();
    bool alright = false;
    for (const AboutControl& control : aboutControls) {
        Rect r = aboutControlRect(control);
        const ImVec2 topLeft(origin.x + static_cast<float>(r.x),
                             origin.y + static_cast<float>(r.y));
        const ImVec2 bottomRight(topLeft.x + static_cast<float>(r.width),
                                 topLeft.y + static_cast<float>(r.height));
        switch (control.kind) {
        case AboutControlKind::Text:
            list->AddText(topLeft, classicTextColour, control.text);
            break;
        case AboutControlKind::Bitmap:
            list->AddRect(topLeft, bottomRight, classicTextColour);
            if (overlay.aboutTexture != 0) {
                list->AddImage(reinterpret_cast<ImTextureID>(
                                   static_cast<std::uintptr_t>(overlay.aboutTexture)),
                               ImVec2(topLeft.x + 1.0f, topLeft.y + 1.0f),
                               ImVec2(bottomRight.x - 1.0f, bottomRight.y - 1.0f));
            }
            break;
        case AboutControlKind::Icon:
            if (overlay.iconTexture != 0) {
                list->AddImage(
                    reinterpret_cast<ImTextureID>(static_cast<std::uintptr_t>(overlay.iconTexture)),
                    topLeft, bottomRight);
            }
            break;
        case AboutControlKind::Button:
            ImGui::SetCursorScreenPos(topLeft);
            alright = ImGui::Button(
                control.text, ImVec2(static_cast<float>(r.width), static_cast<float>(r.height)));
            // The default button's extra frame.
            list->AddRect(ImVec2(topLeft.x - 1.0f, topLeft.y - 1.0f),
                          ImVec2(bottomRight.x + 1.0f, bottomRight.y + 1.0f), classicTextColour);
            break;
        }
    }
    ImGui::End();
    if (alright || !open) {
        endAboutPanel();
    }
}

} // namespace

void overlayObserveMessage(const Message& message) {
    if (overlay.context == nullptr) {
        start();
    }
    const Event& e = message.event;
    imguiFeedPointer(e);
    ImGuiIO& io = ImGui::GetIO();
    switch (e.type) {
    case EventType::KeyDown:
    case EventType::KeyUp:
        if (e.a >= 0 && e.a < 256) {
            io.KeysDown[e.a] = e.type == EventType::KeyDown;
        }
        io.KeyShift = io.KeysDown[VK_SHIFT];
        io.KeyCtrl = io.KeysDown[VK_CONTROL];
        io.KeyAlt = io.KeysDown[VK_MENU];
        break;
    case EventType::Char:
        io.AddInputCharacter(static_cast<unsigned>(e.a));
        break;
    default:
        break;
    }
}

void overlayDrawFrame() {
    const int width = shell.clientWidth;
    const int height = shell.clientHeight;
    if (!shell.window || width <= 0 || height <= 0) {
        return;
    }
    if (overlay.context == nullptr) {
        start();
    }
    const bool render = overlay.renderer && platformGLCurrent();
    imguiBeginFrame(width, height, frameSeconds(), render);
    drawShellStatusBar();
    drawAboutPanel();
    imguiEndFrame(render);
}

void overlayShutdown() {
    if (overlay.context == nullptr) {
        return;
    }
    const bool renderer = overlay.renderer && platformGLCurrent();
    if (renderer) {
        for (GLuint texture : {overlay.aboutTexture, overlay.iconTexture}) {
            if (texture != 0) {
                glDeleteTextures(1, &texture);
            }
        }
    }
    imguiStop(overlay.context, renderer);
    overlay = OverlayState{};
}
