#include "shell/app_window.h"

#include "app/data_dir.h"
#include "shell/main_loop.h"
#include "shell/overlay.h"
#include "app/resources.h"
#include "shell/shell.h"
#include "model/glm.h"
#include "platform/platform.h"
#include "scene/scene_render.h"

bool createAppWindow(const char* title, int width, int height, int colorBits) {
    // SDL fixes the format when it makes a GL window, so the format comes first: a system
    // without GL fails here rather than at the window.
    if (!platformChooseFormat(colorBits, 16)) {
        return failAppWindow("Can't Find A Suitable PixelFormat.");
    }
    const Image& icon = resourceImage(IDI_VELMORA);
    if (!platformCreateWindow(title, width, height, &icon)) {
        return failAppWindow("Window Creation Error.");
    }
    if (const char* failure = finishAppWindow(width, height)) {
        return failAppWindow(failure);
    }

    const DataDir data = findDataDir();
    try {
        return startAppScene(data.prefix);
    } catch (const GlmFatalError& error) {
        // The loader names the file it missed; an installed program also says where else it
        // looked.
        throw GlmFatalError(error.stream, error.what() + data.searched);
    }
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
        forgetAppWindow();
    }
}
