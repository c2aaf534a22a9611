#include "scene/frame_timer.h"

#include "platform/platform.h"

namespace {
// Without a usable counter (frequency zero or less) every quotient would be inf or NaN and
// poison the path time for good; counting no time at all keeps the animation still but sound.
double ticksToSeconds(std::int64_t ticks, std::int64_t frequency) {
    if (frequency <= 0) {
        return 0.0;
    }
    return static_cast<double>(ticks) / static_cast<double>(frequency);
}
} // namespace

FrameTimer::FrameTimer() {
    frequency = platformCounterFrequency();
    lastFrameMark = platformCounter();
}

double FrameTimer::frameDelta() {
    currentCount = platformCounter();
    std::int64_t elapsed = currentCount - lastFrameMark;
    lastFrameMark = currentCount;
    lastDelta = ticksToSeconds(elapsed, frequency);
    return lastDelta;
}

void FrameTimer::countFrame() {
    frames += 1;
    currentCount = platformCounter();
    // Strictly more than a second: a window of exactly 1.0 s stays open until the next frame.
    if (ticksToSeconds(currentCount - lastSecondMark, frequency) > 1.0) {
        lastSecondMark = currentCount;
        framesPerSecond = frames;
        seconds += 1;
        frames = 0;
    }
}
