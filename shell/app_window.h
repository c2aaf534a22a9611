// The window, its GL context, the status bar and the viewport.
//
// Contract:
// - createAppWindow builds, in order: a double-buffered RGBA format with colorBits colours and
//   16 depth bits ("Can't Find A Suitable PixelFormat." when there is no GL at all), the window
//   with a width x height client area and icon 101 ("Window Creation Error."), the GL context
//   ("Can't Create A GL Rendering Context.") made current ("Can't Activate The GL Rendering
//   Context."), all by openGlWindow; then the status bar; it shows and focuses the window, sets
//   the viewport and runs the scene's set-up ("Initialization Failed.") on the models
//   findDataDir chooses. Each failure releases what exists, shows that one "ERROR" message box
//   and returns false. A model that
//   cannot be read throws the loader's GlmFatalError, with DataDir::searched added to its text.
// - destroyAppWindow releases whatever exists in the reverse order; when no context can be made
//   current any more it shows "Release Of DC And RC Failed." under "SHUTDOWN ERROR" and goes
//   on. Safe after a partial creation and twice.
// - resizeAppWindow needs no context: without one it only stores the size.
#pragma once

#include "ui/gl_window.h"

#include <string>

// Each front end's own: the desktop's window (app/) or the page's canvas (web/).
bool createAppWindow(const char* title, int width, int height, int colorBits);
// Shared by both: the overlay shut down with the context that drew it, then the window.
void destroyAppWindow();
// A new client size: the viewport (at least 1 high), then recreateStatusBar.
void resizeAppWindow(int width, int height);
// The steps of createAppWindow after openGlWindow, alike for both front ends, given where that
// stopped: the shell's record of the window and its context and the first status bar, the
// window shown and focused, the viewport. The failure's message-box text, or null.
const char* finishAppWindow(WindowStep opened, int width, int height);
// The scene's set-up on the models under dataDir, its speed text into part 0: the last step of
// createAppWindow, whichever front end's. False after failAppWindow("Initialization Failed.").
bool startAppScene(const std::string& dataDir);
// What exists released, then TEXT shown under "ERROR"; false, for createAppWindow to return.
bool failAppWindow(const char* text);
// A new status bar replaces the old one (texts start over, part 0 stays empty); then part 1
// gets the "%d x %d" size text of the viewport.
void recreateStatusBar();
// "Speed: %f" of 1 / speed divisor into part 0.
void writeSpeedText();
// A note in the size part for four seconds of the frame counter, after which the size text
// comes back (a resize brings it back at once); the status bar widens the part to fit it.
void showStatusNote(const std::string& text);
