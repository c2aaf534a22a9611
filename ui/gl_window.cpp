#include "ui/gl_window.h"

WindowStep openGlWindow(const char* title, int width, int height, int colourBits, int depthBits,
                        const Image* icon) {
    if (!platformChooseFormat(colourBits, depthBits)) {
        return WindowStep::Format;
    }
    if (!platformCreateWindow(title, width, height, icon)) {
        return WindowStep::Window;
    }
    if (!platformCreateContext()) {
        return WindowStep::Context;
    }
    return platformMakeCurrent(true) ? WindowStep::Done : WindowStep::Current;
}
