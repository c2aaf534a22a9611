// F12: the window's client area, status bar included, as a PNG in the working directory.
#pragma once

#include <string>

// Reads the back buffer of the frame just drawn and writes velmora-YYYYMMDD-HHMMSS.png (local
// time; "-2", "-3", ... before the extension when the name is taken, never overwriting a file).
// Returns the note for the status bar: where it went, or why it failed.
std::string saveScreenshot();
