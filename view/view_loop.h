// The window's loop, one event and one turn at a time, without the window: what it keeps
// between frames, and when a frame is due. A still model costs nothing: a frame is drawn only
// when something changed, the view moves, a note runs out or the outline is due after a move.
#pragma once
#include "platform/platform.h"
#include "view/viewer.h"

struct ViewLoop {
    int width = 0;
    int height = 0;
    bool held[256] = {}; // key codes down, so that a repeat is told from a press
    bool running = true;
    bool screenshotDue = false;
    int framesDue = 2; // ImGui sizes a new panel on one frame and shows it on the next
    bool outlinedLast = true;
};

// One event. `overlayHasMouse`: a panel under the pointer takes the presses and the wheel.
// Returns what a key asked for (Ignored for any other event); Quit and Screenshot also stay in
// the loop's record.
KeyResult viewLoopEvent(ViewLoop& loop, Viewer& viewer, const Event& e, bool overlayHasMouse,
                        double now);

// Whether this turn draws a frame; a note whose time is up goes. `shown`: the model before the
// turn's events.
bool viewLoopFrameDue(ViewLoop& loop, Viewer& viewer, const ShownModel* shown, double now);
