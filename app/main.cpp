// velmora: the demo in its window.
//
// Exit statuses: 0 when the window is closed or Escape ends the demo, and also after a window
// or GL failure (its "ERROR" message box has said what failed), and after --help or --version;
// 1 after a model file could not be read (the loader's message says which); 2 for any other
// argument; exitNoDisplay when there is no display at all.
#include "shell/main_loop.h"
#include "model/glm.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char usage[] =
    "Usage: velmora [--help | --version]\n"
    "A tone-shaded space scene: a spaceship flies a closed route among five models.\n"
    "\n"
    "Keys:\n"
    "  Escape               quit\n"
    "  F1                   the About panel\n"
    "  C                    follow camera / free camera\n"
    "  P                    show or hide the flight path\n"
    "  arrow keys           move the camera forward and back, strafe left and right\n"
    "  mouse                turn the view (free camera)\n"
    "  keypad + / keypad -  faster / slower\n"
    "  F11, Alt+Enter       fullscreen on or off\n"
    "  F12                  save the window as velmora-YYYYMMDD-HHMMSS.png here\n"
    "\n"
    "The models are read from data/ in the working directory, else from the installed copy.\n";

} // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0;
        const bool version = std::strcmp(argv[1], "--version") == 0;
        if (argc == 2 && (help || version)) {
            help ? std::fputs(usage, stdout) : std::printf("velmora %s\n", VELMORA_VERSION);
            return 0;
        }
        std::fprintf(stderr, "velmora: unknown argument \"%s\" (see velmora --help)\n%.*s",
                     argv[help || version ? 2 : 1],
                     static_cast<int>(std::strchr(usage, '\n') - usage + 1), usage);
        return 2;
    }
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
