#include "platform/counter.h"

#include <SDL2/SDL_timer.h>

namespace {
bool haveSource = false;
CounterSource installed{};
} // namespace

bool platformQueryPerformanceFrequency(std::int64_t* frequency) {
    *frequency = haveSource ? installed.frequency(installed.context)
                            : static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    return true;
}

bool platformQueryPerformanceCounter(std::int64_t* count) {
    *count = haveSource ? installed.counter(installed.context)
                        : static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    return true;
}

void platformSetCounterSource(const CounterSource* source) {
    haveSource = source != nullptr;
    installed = source != nullptr ? *source : CounterSource{};
}
