#include "ui/picture.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Null when no name could be claimed, with *failure the status bar's text saying why.
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

void writeToFile(void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(context));
}

// Writes into a file opened for it and closes it; false with the system's reason in *why and the
// file removed, so that nobody takes a cut-off picture for a whole one.
bool writeAndClose(std::FILE* file, const std::string& path, const FramePixels& frame,
                   std::string* why) {
    const int stride = frame.width * frame.channels;
    bool written = stbi_write_png_to_func(writeToFile, file, frame.width, frame.height,
                                          frame.channels, frame.data.data(), stride) != 0;
    written = !std::ferror(file) && written;
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        *why = std::strerror(written ? errno : writeError);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

} // namespace

FramePixels readBackBuffer(int width, int height, bool transparentBackground) {
    FramePixels frame;
    frame.width = width;
    frame.height = height;
    frame.channels = transparentBackground ? 4 : 3;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<unsigned char> colour(pixels * 3);
    std::vector<float> depth(transparentBackground ? pixels : 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, colour.data());
    if (transparentBackground) {
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    }
    frame.data.resize(pixels * static_cast<std::size_t>(frame.channels));
    // GL rows run bottom-up, PNG rows top-down.
    for (int y = 0; y < height; ++y) {
        const std::size_t from = static_cast<std::size_t>(height - 1 - y) * width;
        const std::size_t to = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const unsigned char* in = &colour[(from + x) * 3];
            unsigned char* out = &frame.data[(to + x) * frame.channels];
            const bool model = !transparentBackground || depth[from + x] < 1.0f;
            for (int c = 0; c < 3; ++c) {
                out[c] = model ? in[c] : 0;
            }
            if (transparentBackground) {
                out[3] = model ? 255 : 0;
            }
        }
    }
    return frame;
}

bool writePng(const std::string& path, const FramePixels& frame, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::string why;
    if (file == nullptr) {
        why = std::strerror(errno);
    } else if (writeAndClose(file, path, frame, &why)) {
        return true;
    }
    *error = path + ": " + why;
    return false;
}

std::string saveScreenshot(const FramePixels& frame) {
    if (frame.width <= 0 || frame.height <= 0) {
        return "Screenshot failed: no picture";
    }
    std::string name;
    std::string failure;
    std::FILE* file = openScreenshotFile(&name, &failure);
    if (file == nullptr) {
        return failure;
    }
    std::string why;
    return writeAndClose(file, name, frame, &why) ? "Saved " + name
                                                  : "Screenshot failed: " + name + ": " + why;
}
