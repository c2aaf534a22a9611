// The high-resolution counter the frame timer reads.
//
// Ticks are a signed 64-bit count at a fixed rate; the real source is SDL's performance
// counter. A tool or test may install another source (a virtual clock) before the frame timer
// is constructed, so that a run can be replayed frame for frame.
#pragma once

#include <cstdint>

struct CounterSource {
    std::int64_t (*frequency)(void* context);
    std::int64_t (*counter)(void* context);
    void* context;
};

// Both write through the pointer and return true; with no counter the frequency reads 0.
bool platformQueryPerformanceFrequency(std::int64_t* frequency);
bool platformQueryPerformanceCounter(std::int64_t* count);

// Installs a source; null restores the real counter.
void platformSetCounterSource(const CounterSource* source);
