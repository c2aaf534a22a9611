#include "shell/scripted_run.h"

#include "platform/platform.h"
#include "scene/scene_state.h"
#include "shell/shell.h"

#include <cmath>
#include <utility>

namespace {

constexpr std::int64_t virtualFrequency = 1'000'000'000;
constexpr std::int64_t virtualStart = 1'000'000'000'000;

void post(const ScriptEvent& event) {
    switch (event.kind) {
    case ScriptEventKind::KeyDown:
    case ScriptEventKind::KeyUp:
        shellPostInput(
            Event{event.kind == ScriptEventKind::KeyDown ? EventType::KeyDown : EventType::KeyUp,
                  event.a});
        break;
    case ScriptEventKind::MouseMove:
        // Positions travel as the window system's signed 16-bit halves.
        shellPostInput(Event{EventType::MouseMove, static_cast<std::int16_t>(event.a),
                             static_cast<std::int16_t>(event.b)});
        break;
    case ScriptEventKind::Resize:
        shellSetClientSize(event.a, event.b);
        break;
    case ScriptEventKind::Close:
        shellPost(Target::Main, Event{EventType::Close});
        break;
    }
}

} // namespace

void startScriptedRun(ScriptedRun& run, double step, std::vector<ScriptEvent> events) {
    run.events = std::move(events);
    run.ticksPerTurn = std::llround(step * 1e9);
    run.clock = virtualStart;
    CounterSource source{[](void*) { return virtualFrequency; },
                         [](void* context) { return static_cast<ScriptedRun*>(context)->clock; },
                         &run};
    platformSetCounterSource(&source);
    resetScene();
}

void advanceScriptedRun(ScriptedRun& run, std::int64_t turn) {
    run.clock += run.ticksPerTurn;
    while (run.nextEvent < run.events.size() && run.events[run.nextEvent].frame <= turn) {
        post(run.events[run.nextEvent++]);
    }
}
