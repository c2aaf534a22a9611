// The program's one pseudo-random source.
//
// A 32-bit state that starts at 1 and is never seeded: state = state * 214013 + 2531011
// (mod 2^32), result (state >> 16) & 0x7FFF, 0 to 32767. Set-up draws from it in a fixed order
// (the torus ramp's 32 numbers, then two per star), so every run shows the same ramp and sky.
// The C library's rand() is not used because its sequence differs between platforms.
#pragma once

#include <cstdint>

int nextRandom();
// Back to the state at process start. For tests and tools that replay set-up more than once.
void resetRandom();
