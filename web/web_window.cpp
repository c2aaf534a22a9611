// The page's side of the shell: the window and its WebGL 2 context (shell/app_window.h), the
// status bar and About panel as the page's own HTML (shell/overlay.h, drawn by index.html's
// velmoraOverlay), and F12 as a PNG download (shell/screenshot.h).
//
// The HTML is told only what changed since the last frame, so an unchanged status bar costs a
// string comparison per frame, not a trip into the page's layout.
#include "platform/platform.h"
#include "shell/about_panel.h"
#include "shell/app_window.h"
#include "shell/overlay.h"
#include "shell/screenshot.h"
#include "shell/shell.h"

#include <emscripten.h>

#include <ctime>
#include <string>

namespace {

// What the page shows now, to send only changes.
struct PageOverlay {
    std::string status[statusPartCount];
    int aboutVisible = -1;
    int pointerWanted = -1;
    bool sent = false;
};
PageOverlay page;

} // namespace

bool createAppWindow(const char* title, int width, int height, int colorBits) {
    const WindowStep opened = openGlWindow(title, width, height, colorBits, 16, nullptr);
    if (opened > WindowStep::Window) {
        // The page decides the canvas's size; the platform says which it took.
        for (Event e{EventType::Quit}; platformPollEvent(&e);) {
            if (e.type == EventType::Resized) {
                width = e.a;
                height = e.b;
            }
        }
    }
    if (const char* failure = finishAppWindow(opened, width, height)) {
        return failAppWindow(failure);
    }

    // The models are in the page's file system, where the build preloaded them.
    return startAppScene("data/");
}

// Keys addressed to the panel do nothing there, as on the desktop; its button and close box are
// the page's own (velmoraAboutEnd).
void overlayObserveMessage(const Message&) {}

void overlayDrawFrame() {
    for (int part = 0; part < statusPartCount; ++part) {
        if (!page.sent || page.status[part] != shell.status[part]) {
            page.status[part] = shell.status[part];
            EM_ASM({ Module.statusText($0, UTF8ToString($1)); }, part, shell.status[part].c_str());
        }
    }
    if (!page.sent || page.aboutVisible != static_cast<int>(shell.aboutVisible)) {
        page.aboutVisible = shell.aboutVisible;
        EM_ASM({ Module.showAbout($0); }, page.aboutVisible);
    }
    // Only the free camera looks with the mouse; the panel needs the pointer for its button.
    const int wanted = shell.scene.freeCamera && !shell.aboutVisible;
    if (wanted != page.pointerWanted) {
        page.pointerWanted = wanted;
        EM_ASM({ Module.wantPointer($0); }, wanted);
    }
    page.sent = true;
}

void overlayShutdown() {}

std::string saveScreenshot() {
    if (shell.clientWidth <= 0 || shell.clientHeight <= 0 || !platformGLCurrent()) {
        return "Screenshot failed: no picture";
    }
    char name[64];
    std::time_t now = std::time(nullptr);
    std::strftime(name, sizeof name, "velmora-%Y%m%d-%H%M%S.png", std::localtime(&now));
    EM_ASM({ Module.downloadScreenshot(UTF8ToString($0)); }, name);
    return std::string("Saved ") + name;
}

extern "C" {

// The panel's "Alright!" button and its close box.
EMSCRIPTEN_KEEPALIVE void velmoraAboutEnd() {
    endAboutPanel();
}

// A click on the page outside the canvas or the panel gives the keyboard back to the picture.
EMSCRIPTEN_KEEPALIVE void velmoraFocusMain() {
    if (shell.window) {
        shellSetFocus(Target::Main);
    }
}
}
