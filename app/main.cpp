// velmora: the demo in its window.
//
// Exit statuses: 0 when the window is closed or Escape ends the demo, and also after a window
// or GL failure (its "ERROR" message box has said what failed); 1 after a model file could not
// be read (the loader's message says which); exitNoDisplay when there is no display at all.
#include "app/main_loop.h"
#include "model/glm.h"
#include "platform/platform.h"

#include <cstdio>
#include <string>

int main() {
    std::string reason;
    if (!platformOpenDisplay(&reason)) {
        std::fprintf(stderr,
                     "velmora: no display found (%s); run it in a desktop session or under "
                     "xvfb-run, or use velmora-capture for a headless run\n",
                     reason.c_str());
        return exitNoDisplay;
    }
    try {
        int exitCode = appMain(800, 400, nullptr);
        platformCloseDisplay();
        return exitCode;
    } catch (const GlmFatalError& error) {
        glmPrintFatal(error);
        return 1;
    }
}
