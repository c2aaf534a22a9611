#include "app/status_bar.h"

#include <string>

namespace {
std::string partTexts[statusPartCount];
} // namespace

void statusBarSetText(int part, const char* text) {
    if (part < 0 || part >= statusPartCount) {
        return;
    }
    partTexts[part] = text != nullptr ? text : "";
}

const char* statusBarText(int part) {
    if (part < 0 || part >= statusPartCount) {
        return "";
    }
    return partTexts[part].c_str();
}

void statusBarRecreate() {
    for (std::string& text : partTexts) {
        text.clear();
    }
}
