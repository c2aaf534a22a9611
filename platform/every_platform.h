// Between the part every platform library holds alike (every_platform.cpp, without SDL) and each
// platform's own file, which defines the first two.
#pragma once

#include "platform/platform.h"

// false when the platform could not show a box.
bool platformShowNativeBox(const char* caption, const char* text, MessageBoxIcon icon);
// What closing the display leaves to do once the window and context are gone.
void platformCloseNative();
// platformReportExtraEvents's switch, and the path platformDroppedFile answers.
struct ExtraEvents {
    bool on = false;
    std::string droppedFile;
};
ExtraEvents& platformExtraEvents();
