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
#include "scene/scene_state.h"
#include "shell/main_loop.h"
#include "shell/shell.h"

#include <emscripten.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// One scripted event, as the page's script parser hands it over (kind: 0 keydown, 1 keyup,
// 2 mousemove, 3 resize, 4 close).
struct ScriptedEvent {
    std::int64_t frame;
    int kind;
    int a;
    int b;
};

// The one record of the page's run.
struct WebRun {
    bool deterministic = false;
    std::int64_t frames = 0;
    std::int64_t ticksPerTurn = 0;
    std::int64_t clock = 0;
    std::vector<ScriptedEvent> events;
    std::size_t nextEvent = 0;
    std::int64_t turn = 0;
    int exitCode = 0;
};
WebRun run;

// The capture tool's clock, so that the same turn shows the same time.
constexpr std::int64_t virtualFrequency = 1'000'000'000;
constexpr std::int64_t virtualStart = 1'000'000'000'000;

void postScripted(const ScriptedEvent& event) {
    switch (event.kind) {
    case 0:
    case 1:
        shellPostInput(Event{event.kind == 0 ? EventType::KeyDown : EventType::KeyUp, event.a});
        break;
    case 2:
        shellPostInput(Event{EventType::MouseMove, static_cast<std::int16_t>(event.a),
                             static_cast<std::int16_t>(event.b)});
        break;
    case 3:
        shellSetClientSize(event.a, event.b);
        break;
    default:
        shellPost(Target::Main, Event{EventType::Close});
        break;
    }
}

void beforeTurn(void*, std::int64_t turn) {
    if (!run.deterministic) {
        return;
    }
    run.clock += run.ticksPerTurn;
    while (run.nextEvent < run.events.size() && run.events[run.nextEvent].frame <= turn) {
        postScripted(run.events[run.nextEvent++]);
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
    } else if (run.deterministic && run.turn >= run.frames) {
        finish(false);
    }
}

// The page's options; in the deterministic run, the virtual clock in place of the real one.
void readOptions() {
    run.frames = EM_ASM_INT({ return Module.velmoraOptions.frames; });
    run.deterministic = run.frames > 0;
    if (!run.deterministic) {
        return;
    }
    const double step = EM_ASM_DOUBLE({ return Module.velmoraOptions.step; });
    run.ticksPerTurn = std::llround(step * 1e9);
    const int count = EM_ASM_INT({ return Module.velmoraOptions.script.length; });
    for (int i = 0; i < count; ++i) {
        int v[4];
        for (int k = 0; k < 4; ++k) {
            v[k] = EM_ASM_INT({ return Module.velmoraOptions.script[$0][$1]; }, i, k);
        }
        run.events.push_back({v[0], v[1], v[2], v[3]});
    }
    run.clock = virtualStart;
    CounterSource source{[](void*) { return virtualFrequency; }, [](void*) { return run.clock; },
                         nullptr};
    platformSetCounterSource(&source);
    resetScene();
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
