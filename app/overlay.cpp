#include "shell/overlay.h"

#include "shell/about_panel.h"
#include "app/resources.h"
#include "ui/classic_look.h"
#include "ui/imgui_pointer.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
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
    IMGUI_CHECKVERSION();
    overlay.context = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.Fonts->AddFontDefault();
    std::copy(std::begin(keyMap), std::end(keyMap), io.KeyMap);
    applyClassicStyle(ImVec2(0.0f, 0.0f));
    overlay.renderer = platformGLCurrent();
    if (overlay.renderer) {
        ImGui_ImplOpenGL2_Init();
        overlay.aboutTexture = makeTexture(resourceImage(IDB_ABOUT));
        overlay.iconTexture = makeTexture(resourceImage(IDI_VELMORA));
    } else {
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
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
    // ImGui needs a positive step; a frozen or reset clock still gives one.
    return static_cast<float>(std::clamp(seconds, 1e-4, 1.0));
}

void drawStatusBar() {
    const auto [x, y, width, height] = shell.statusBar;
    if (width <= 0 || height <= 0) {
        return;
    }
    ImDrawList* list = ImGui::GetBackgroundDrawList();
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    const float bottom = fy + static_cast<float>(height);
    list->AddRectFilled(ImVec2(fx, fy), ImVec2(fx + static_cast<float>(width), bottom),
                        classicFaceColour);
    int left = 0;
    for (int part = 0; part < statusPartCount; ++part) {
        int edge = statusPartEdges[part] < 0 ? width : statusPartEdges[part];
        if (part == 1 && shell.noteShowing) { // the note is longer than a size text
            const float need = ImGui::CalcTextSize(shell.status[1].c_str()).x + 12.0f;
            edge = std::max(edge, left + static_cast<int>(need));
        }
        edge = std::min(edge, width);
        if (edge <= left) {
            continue;
        }
        const auto l = fx + static_cast<float>(left);
        const auto r = fx + static_cast<float>(edge) - 2.0f;
        drawSunkenBox(list, l, fy + 2.0f, r, bottom);
        list->PushClipRect(ImVec2(l + 1.0f, fy + 2.0f), ImVec2(r - 1.0f, bottom - 1.0f), true);
        list->AddText(ImVec2(l + 4.0f, fy + 2.0f + (static_cast<float>(height) - 15.0f) * 0.5f),
                      classicTextColour, shell.status[part].c_str());
        list->PopClipRect();
        left = edge;
    }
    // The size grip in the corner.
    const float right = fx + static_cast<float>(width);
    for (float d = 3.0f; d <= 11.0f; d += 4.0f) {
        list->AddLine(ImVec2(right - d - 1.0f, bottom - 1.0f),
                      ImVec2(right - 1.0f, bottom - d - 1.0f), classicHighlightColour);
        list->AddLine(ImVec2(right - d, bottom - 1.0f), ImVec2(right - 1.0f, bottom - d),
                      classicShadowColour);
        list->AddLine(ImVec2(right - d + 1.0f, bottom - 1.0f),
                      ImVec2(right - 1.0f, bottom - d + 1.0f), classicShadowColour);
    }
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
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    io.DeltaTime = frameSeconds();
    const bool render = overlay.renderer && platformGLCurrent();
    if (render) {
        ImGui_ImplOpenGL2_NewFrame();
    }
    ImGui::NewFrame();
    drawStatusBar();
    drawAboutPanel();
    ImGui::Render();
    if (render) {
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    }
}

void overlayShutdown() {
    if (overlay.context == nullptr) {
        return;
    }
    if (overlay.renderer && platformGLCurrent()) {
        ImGui_ImplOpenGL2_Shutdown();
        if (overlay.aboutTexture != 0) {
            glDeleteTextures(1, &overlay.aboutTexture);
        }
        if (overlay.iconTexture != 0) {
            glDeleteTextures(1, &overlay.iconTexture);
        }
    }
    ImGui::DestroyContext(overlay.context);
    overlay = OverlayState{};
}
