// velmora: the demo in its window. Without a display it says so and ends with exitNoDisplay.
#include "app/main_loop.h"
#include "platform/window.h"

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
    int exitCode = appMain(800, 400, nullptr);
    platformCloseDisplay();
    return exitCode;
}
