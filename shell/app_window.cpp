// What the desktop's window (app/) and the page's canvas (web/) do alike.
#include "shell/app_window.h"

#include "platform/platform.h"
#include "scene/scene_render.h"
#include "shell/shell.h"

void resizeViewport(int width, int height) {
    if (height < 1) {
        height = 1;
    }
    shell.viewportWidth = width;
    shell.viewportHeight = height;
    if (platformGLCurrent()) {
        renderViewport(width, height);
    }
}

void forgetAppWindow() {
    platformDestroyWindow();
    shell.window = false;
    shell.statusBar = Rect{};
    shell.aboutCreated = false;
    shell.aboutVisible = false;
    shell.focus = shell.capture = shell.mouseOver = Target::None;
    shell.queue.clear();
}
