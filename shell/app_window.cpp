// What the desktop's window (app/) and the page's canvas (web/) do alike.
#include "shell/app_window.h"

#include "platform/platform.h"
#include "shell/overlay.h"
#include "scene/scene_render.h"
#include "shell/shell.h"

bool failAppWindow(const char* text) {
    destroyAppWindow();
    platformMessageBox("ERROR", text, MessageBoxIcon::Exclamation);
    return false;
}

const char* finishAppWindow(WindowStep opened, int width, int height) {
    if (opened == WindowStep::Format) {
        return "Can't Find A Suitable PixelFormat.";
    }
    if (opened == WindowStep::Window) {
        return "Window Creation Error.";
    }
    shell.window = true;
    shell.clientWidth = shell.reportedWidth = width;
    shell.clientHeight = shell.reportedHeight = height;
    // The bar's text "Status" is part 0's text only on this first bar: showing the window
    // re-creates it, and the speed text comes with set-up.
    shellRecreateStatusStrip();
    shell.status[0] = "Status";
    if (opened == WindowStep::Context) {
        return "Can't Create A GL Rendering Context.";
    }
    shell.context = true;
    if (opened == WindowStep::Current) {
        return "Can't Activate The GL Rendering Context.";
    }
    platformShowWindow();
    // Shown, the window has its client size: the viewport and the bar follow it.
    resizeAppWindow(width, height);
    shell.active = true;
    shellSetFocus(Target::Main);
    return nullptr;
}

void resizeAppWindow(int width, int height) {
    // The viewport is at least one pixel high; the projection divides by its height.
    if (height < 1) {
        height = 1;
    }
    shell.viewportWidth = width;
    shell.viewportHeight = height;
    if (platformGLCurrent()) {
        renderViewport(width, height);
    }
    recreateStatusBar();
}

void destroyAppWindow() {
    if (shell.context) {
        // The overlay's textures belong to this context.
        overlayShutdown();
        if (!platformMakeCurrent(false)) {
            platformMessageBox("SHUTDOWN ERROR", "Release Of DC And RC Failed.",
                               MessageBoxIcon::Information);
        }
        platformDeleteContext();
        shell.context = false;
    }
    overlayShutdown();
    if (shell.window) {
        platformDestroyWindow();
        shell.window = false;
        shell.statusBar = Rect{};
        shell.aboutCreated = false;
        shell.aboutVisible = false;
        shell.focus = shell.capture = shell.mouseOver = Target::None;
        shell.queue.clear();
    }
}

bool startAppScene(const std::string& dataDir) {
    shell.scene.dataDir = dataDir;
    SceneTexts texts;
    if (!initScene(shell.scene, &texts)) {
        return failAppWindow("Initialization Failed.");
    }
    if (texts.speed[0] != '\0') {
        shell.status[0] = texts.speed;
    }
    return true;
}
