// The demo in a web page: the desktop's shell and loop, one turn per animation frame.
//
// Two ways to run, chosen by the page's query string (index.html reads it into
// Module.velmoraOptions):
// - normal: the real clock (performance.now()), the page's size, the user's input;
// - deterministic (`frames` given): as velmora-capture runs, a virtual clock that advances
//   `step` seconds before each turn and scripted input queued before the turns it names, in a
//   client area of `size`. After turn `frames` (or when the loop ends earlier) nothing is drawn
//   any more, so the last turn's frame stays on screen, and the page's title becomes "done".
// A model file that cannot be read stops the page with the loader's message shown in it.
#include "model/glm.h"
#include "platform/platform.h"
#include "shell/main_loop.h"
#include "shell/scripted_run.h"

#include <emscripten.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// The one record of the page's run.
struct WebRun {
    std::int64_t frames = 0; // 0: the normal run, else the deterministic run's turns
    ScriptedRun script;
    std::int64_t turn = 0;
    int exitCode = 0;
};
WebRun run;

void beforeTurn(void*, std::int64_t turn) {
    if (run.frames > 0) {
        advanceScriptedRun(run.script, turn);
    }
}

const LoopHooks hooks{nullptr, beforeTurn, nullptr, nullptr};

void finish(bool ended) {
    emscripten_cancel_main_loop();
    EM_ASM({ Module.finished($0, $1); }, ended ? 1 : 0, static_cast<int>(run.turn));
}

void animationFrame() {
    ++run.turn;
    bool more = false;
    const double start = emscripten_get_now();
    try {
        more = runLoopTurn(&hooks, run.turn, &run.exitCode);
        // For the page's tests: turns run and the time the last one took in the program.
        EM_ASM({ Module.turn = $0; }, static_cast<int>(run.turn));
        EM_ASM({ Module.turnMilliseconds = $0; }, emscripten_get_now() - start);
    } catch (const GlmFatalError& error) {
        EM_ASM({ Module.fatal(UTF8ToString($0)); }, error.what());
        emscripten_cancel_main_loop();
        return;
    }
    if (!more) {
        finish(true);
    } else if (run.frames > 0 && run.turn >= run.frames) {
        finish(false);
    }
}

// The page's options; in the deterministic run, the virtual clock in place of the real one.
void readOptions() {
    run.frames = EM_ASM_INT({ return Module.velmoraOptions.frames; });
    if (run.frames <= 0) {
        return;
    }
    const double step = EM_ASM_DOUBLE({ return Module.velmoraOptions.step; });
    const int count = EM_ASM_INT({ return Module.velmoraOptions.script.length; });
    std::vector<ScriptEvent> events;
    for (int i = 0; i < count; ++i) {
        int v[4];
        for (int k = 0; k < 4; ++k) {
            v[k] = EM_ASM_INT({ return Module.velmoraOptions.script[$0][$1]; }, i, k);
        }
        events.push_back({v[0], static_cast<ScriptEventKind>(v[1]), v[2], v[3]});
    }
    startScriptedRun(run.script, step, std::move(events));
}

} // namespace

int main() {
    readOptions();
    std::string reason;
    platformOpenDisplay(&reason);
    const int width = EM_ASM_INT({ return Module.velmoraOptions.width; });
    const int height = EM_ASM_INT({ return Module.velmoraOptions.height; });
    try {
        if (!startApp(width, height)) {
            return 0;
        }
    } catch (const GlmFatalError& error) {
        EM_ASM({ Module.fatal(UTF8ToString($0)); }, error.what());
        return 1;
    }
    EM_ASM({ Module.started(); });
    emscripten_set_main_loop(animationFrame, 0, false);
    return 0;
}
