// The null platform: no display and no GL, for tests of the shell's failure paths and loop. It
// counts what exists, fails the steps a test asks it to, and reports only the events a test
// queues in nullPlatform.events.
#pragma once

#include "platform/platform.h"

#include <deque>

enum class NullStep {
    OpenDisplay,
    ChooseFormat,
    CreateWindow,
    CreateContext,
    MakeCurrent,
    ReleaseCurrent,
    Count
};

struct NullPlatform {
    bool fail[static_cast<int>(NullStep::Count)] = {};
    bool window = false;
    bool context = false;
    bool current = false;
    bool shown = false;
    bool fullscreen = false;
    int width = 0;
    int height = 0;
    int swaps = 0;
    std::deque<Event> events;

    // Back to nothing existing, nothing failing, no events.
    void reset() { *this = NullPlatform{}; }
};

// The state, for tests to set failures, queue events and look at what exists.
extern NullPlatform nullPlatform;
