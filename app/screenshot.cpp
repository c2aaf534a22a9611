#include "shell/screenshot.h"

#include "shell/shell.h"
#include "platform/platform.h"
#include "ui/picture.h"

std::string saveScreenshot() {
    if (shell.clientWidth <= 0 || shell.clientHeight <= 0 || !platformGLCurrent()) {
        return "Screenshot failed: no picture";
    }
    return saveScreenshot(readBackBuffer(shell.clientWidth, shell.clientHeight, false));
}
