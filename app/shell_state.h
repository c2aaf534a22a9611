// State that the shell owns and the scene and camera read.
//
// Written only by the main loop and the window procedure, on the one thread that runs them;
// the scene reads the two flags and the speed divisor while it draws a frame.
#pragma once

// true while the key with that virtual-key code is down; codes are always below 256.
extern bool keyTable[256];
// true: the free camera; false: the camera follows the ship.
extern bool freeCamera;
// true: the flight path is drawn every frame.
extern bool showPath;
// Path time advances by the average frame time divided by this; 1.0 to 10.0, 5.0 at start.
extern float speedDivisor;

// Everything above back to its start values, for tests and for tools that run several loops.
void resetShellState();
