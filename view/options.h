// velmora-view's command line.
#pragma once

#include <string>
#include <vector>

struct ViewOptions {
    std::vector<std::string> files;
    // Headless: one frame of the first file into this PNG, no window.
    std::string output;
    int width = 1024;
    int height = 768;
    bool noBackground = false;
    bool watch = false;
    // Hidden, for scripts/view-bench.sh: this many frames of orbit, headless, timed.
    int benchOrbit = 0;
    bool help = false;
    bool version = false;
    // --up: into upAxes; --max-size: files over this many bytes are refused (0: no limit).
    int up = 0;
    long long maxBytes = 0;
};

// false with the reason in `error`; --help and --version need no file. A single-valued option
// given twice is refused, and so is an --output whose extension is not ".png".
bool parseViewOptions(const std::vector<std::string>& args, ViewOptions* options,
                      std::string* error);

extern const char* const viewUsage;
