// The frame timer: seconds between frames, and frames counted over one-second windows.
//
// Contract:
// - Time is read only through the platform counter (platform/platform.h), in its own ticks, and
//   turned into seconds only by the division by the frequency. A tool that installs another
//   counter source (a virtual clock) constructs the timer afresh afterwards (resetScene does).
// - A frequency of zero or less means there is no usable counter: every elapsed time then
//   counts as 0 seconds, so deltas are 0.0 and no window ever closes (never inf or NaN).
// - The first frameDelta measures from construction. The last second mark starts at 0, the
//   counter's origin, so the first countFrame normally closes a window at once.
// - A window closes only when strictly more than 1.0 s has passed since the previous close;
//   the excess is not carried over.
// - One thread; nothing allocates.
#pragma once

#include <cstdint>

struct FrameTimer {
    std::int64_t currentCount = 0;
    std::int64_t lastFrameMark = 0;
    std::int64_t lastSecondMark = 0;
    std::int64_t frequency = 0;
    std::int32_t seconds = 0;
    std::int32_t frames = 0;
    double lastDelta = 0.0;
    // Frames of the most recently closed window.
    std::int32_t framesPerSecond = 0;

    FrameTimer();
    // Seconds since the previous call (the first call: since construction); also kept in
    // lastDelta.
    double frameDelta();
    // Once per drawn frame, after the drawing.
    void countFrame();
};
