// The window, its device and rendering contexts, the status bar and the viewport.
//
// Contract:
// - createAppWindow builds, in order: window class "windowclass" (icon 101), the window with a
//   width x height client area, the status bar, the pixel format (double-buffered RGBA,
//   colorBits colours, 16 depth bits), the rendering context made current; then it shows and
//   focuses the window, sets the viewport and runs initScene. Each failure releases what exists,
//   shows one "ERROR" message box naming the step, and returns false.
// - destroyAppWindow releases whatever exists in the reverse order; each failure shows a
//   "SHUTDOWN ERROR" box and the release goes on. Safe after a partial creation.
// - resizeViewport needs no context: without one it only stores the size.
// - Status bar parts: 0 speed ("Speed: %f"), 1 client size ("%d x %d"), 2 frame rate.
#pragma once

#include "platform/window.h"

extern WindowHandle mainWindow;
extern WindowHandle statusBarWindow;
extern WindowHandle aboutDialog;
extern DeviceContext deviceContext;
extern RenderingContext renderingContext;

// As last given to resizeViewport, after the height correction.
extern int viewportWidth;
extern int viewportHeight;

// Filled on the first createAppWindow only.
extern PixelFormatRequest pixelFormatRequest;

bool createAppWindow(const char* title, int width, int height, int colorBits);
void destroyAppWindow();
void resizeViewport(int width, int height);

// A new status bar replaces the old one (texts start over, part 0 stays empty); then part
// 1 gets the "%d x %d" size text. What WM_SIZE does after resizeViewport.
void recreateStatusBar();
// "Speed: %f" of 1 / speedDivisor into part 0.
void writeSpeedText();

// Every handle and the viewport back to their start values (nothing is released), and the
// pixel-format request unfilled again, for tests and tools that run more than once.
void resetAppWindowState();
