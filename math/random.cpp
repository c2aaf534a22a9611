#include "math/random.h"

namespace {
// The one process-wide state; only set-up draws from it, always on the main thread.
std::uint32_t randomState = 1;
} // namespace

int nextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void resetRandom() {
    randomState = 1;
}
