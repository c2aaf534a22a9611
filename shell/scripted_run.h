// A run on a virtual clock with scripted input, shared by velmora-capture and the page's
// deterministic run so that the same turn shows the same time and the same input in both.
//
// The clock runs at 1e9 ticks per second, reads 1e12 when the frame timer is constructed and
// advances by llround(step * 1e9) before every turn; all reads within a turn agree, so a run is
// the same on every machine. Each scripted event is queued before the turn it names, in the
// order given within a turn.
#pragma once

#include <cstdint>
#include <vector>

// Numbered as the page's script parser numbers them.
enum class ScriptEventKind { KeyDown, KeyUp, MouseMove, Resize, Close };

struct ScriptEvent {
    std::int64_t frame; // the 1-based turn before which it is queued
    ScriptEventKind kind;
    int a; // key code, x or width
    int b; // y or height
};

struct ScriptedRun {
    std::vector<ScriptEvent> events; // sorted by frame
    std::size_t nextEvent = 0;
    std::int64_t ticksPerTurn = 0;
    std::int64_t clock = 0;
};

// Takes the events, sets the clock at its start, installs it as the platform's counter and
// resets the scene, whose frame timer then reads it. `run` must stay where it is while the
// counter is installed.
void startScriptedRun(ScriptedRun& run, double step, std::vector<ScriptEvent> events);
// Before turn `turn`: the clock one step on, then the events due by that turn queued.
void advanceScriptedRun(ScriptedRun& run, std::int64_t turn);
