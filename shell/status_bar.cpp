// The status bar's texts: what app_window.h declares beside the window, shared by every front
// end (the desktop's window and the web page).
#include "platform/platform.h"
#include "shell/app_window.h"
#include "scene/scene_state.h"
#include "shell/shell.h"

#include <cstdio>

void recreateStatusBar() {
    shellRecreateStatusStrip();
    shell.noteShowing = false;
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d", shell.viewportWidth, shell.viewportHeight);
    shell.status[1] = text;
}

void showStatusNote(const std::string& text) {
    shell.status[1] = text;
    shell.noteShowing = true;
    shell.noteUntil = platformCounter() + 4 * platformCounterFrequency();
}

void writeSpeedText() {
    char text[64];
    formatSpeedText(shell.scene.speedDivisor, text);
    shell.status[0] = text;
}
