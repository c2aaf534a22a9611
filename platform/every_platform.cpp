// What every platform library holds alike, the page's included: message boxes (to a test's sink,
// else the platform's own box, else standard error), closing in order, and the switch for the
// extra events with the dropped file's path.
#include "platform/every_platform.h"

#include <cstdio>

namespace {
struct EveryPlatform {
    MessageBoxSink sink = nullptr;
    void* sinkContext = nullptr;
    ExtraEvents extra;
};
EveryPlatform every;
} // namespace

void platformSetMessageBoxSink(MessageBoxSink sink, void* context) {
    every.sink = sink;
    every.sinkContext = sink != nullptr ? context : nullptr;
}

void platformMessageBox(const char* caption, const char* text, MessageBoxIcon icon) {
    if (every.sink != nullptr) {
        every.sink(every.sinkContext, caption, text, icon);
    } else if (!platformShowNativeBox(caption, text, icon)) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
    }
}

void platformCloseDisplay() {
    platformDeleteContext();
    platformDestroyWindow();
    platformCloseNative();
}

ExtraEvents& platformExtraEvents() {
    return every.extra;
}

void platformReportExtraEvents(bool report) {
    every.extra.on = report;
}

std::string platformDroppedFile() {
    return every.extra.droppedFile;
}
