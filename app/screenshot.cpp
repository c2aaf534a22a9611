#include "app/screenshot.h"

#include "app/shell.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

void writeToFile(void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(context));
}

} // namespace

std::string saveScreenshot() {
    const int width = shell.clientWidth;
    const int height = shell.clientHeight;
    if (width <= 0 || height <= 0 || !platformGLCurrent()) {
        return "Screenshot failed: no picture";
    }
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());

    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "velmora-%Y%m%d-%H%M%S", &local);
    std::string name;
    std::FILE* file = nullptr;
    // "x": the name is claimed atomically, so an existing file is never overwritten.
    for (int n = 1; file == nullptr && n < 1000; ++n) {
        char suffix[16] = "";
        if (n > 1) {
            std::snprintf(suffix, sizeof suffix, "-%d", n);
        }
        name = std::string(stamp) + suffix + ".png";
        file = std::fopen(name.c_str(), "wbx");
        if (file == nullptr && errno != EEXIST) {
            return "Screenshot failed: " + name + ": " + std::strerror(errno);
        }
    }
    if (file == nullptr) {
        return "Screenshot failed: " + name + " and 998 others exist";
    }
    const int stride = width * 3;
    // GL rows run bottom-up, PNG rows top-down.
    const unsigned char* top = pixels.data() + static_cast<std::size_t>(height - 1) * stride;
    bool written = stbi_write_png_to_func(writeToFile, file, width, height, 3, top, -stride) != 0;
    written = !std::ferror(file) && written;
    int error = errno;
    if (std::fclose(file) != 0 || !written) {
        std::remove(name.c_str());
        return "Screenshot failed: " + name + ": " + std::strerror(written ? errno : error);
    }
    return "Saved " + name;
}
