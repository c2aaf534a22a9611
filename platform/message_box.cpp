// Message boxes go to a test's sink, else to the platform's own box, else to standard error.
// Built into each platform library, beside its platformShowNativeBox.
#include "platform/platform.h"

#include <cstdio>

namespace {
MessageBoxSink sink = nullptr;
void* sinkContext = nullptr;
} // namespace

// false when the platform could not show a box.
bool platformShowNativeBox(const char* caption, const char* text, MessageBoxIcon icon);

void platformSetMessageBoxSink(MessageBoxSink newSink, void* context) {
    sink = newSink;
    sinkContext = newSink != nullptr ? context : nullptr;
}

void platformMessageBox(const char* caption, const char* text, MessageBoxIcon icon) {
    if (sink != nullptr) {
        sink(sinkContext, caption, text, icon);
    } else if (!platformShowNativeBox(caption, text, icon)) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        std::fflush(stderr);
    }
}
