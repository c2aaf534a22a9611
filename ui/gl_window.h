// A window with a GL context, opened alike by the demo, its page and the viewer.
#pragma once

#include "platform/platform.h"

// The steps, in the order they are taken; Done when all were.
enum class WindowStep { Format, Window, Context, Current, Done };

// A double-buffered RGBA format with colourBits colours and depthBits depth bits (a system
// without GL fails here rather than at the window: the format is fixed when a GL window is
// made), the window hidden with a width x height client area and the icon (may be null), then
// its GL context, made current. Stops at the first step that fails and returns it; what exists
// then is the caller's to release, so that its message can follow the release.
WindowStep openGlWindow(const char* title, int width, int height, int colourBits, int depthBits,
                        const Image* icon);
