#include "ui/screenshot_file.h"

#include <cerrno>
#include <cstring>
#include <ctime>

std::FILE* openScreenshotFile(std::string* name, std::string* failure) {
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "velmora-%Y%m%d-%H%M%S", &local);
    // "x" claims the name atomically.
    for (int n = 1; n < 1000; ++n) {
        // Built up piece by piece: GCC 12 at -O3 warns (wrongly) about a + chain here.
        *name = stamp;
        if (n > 1) {
            *name += '-';
            *name += std::to_string(n);
        }
        *name += ".png";
        if (std::FILE* file = std::fopen(name->c_str(), "wbx")) {
            return file;
        }
        if (errno != EEXIST) {
            *failure = "Screenshot failed: " + *name + ": " + std::strerror(errno);
            return nullptr;
        }
    }
    *failure = "Screenshot failed: " + *name + " and 998 others exist";
    return nullptr;
}

std::string closeScreenshotFile(std::FILE* file, const std::string& name, bool written,
                                int writeError) {
    if (std::fclose(file) != 0 || !written) {
        const int error = written ? errno : writeError;
        std::remove(name.c_str());
        return "Screenshot failed: " + name + ": " + std::strerror(error);
    }
    return "Saved " + name;
}
