#include "view/picture.h"

#include "ui/screenshot_file.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void writeToFile(void* context, void* data, int size) {
    std::fwrite(data, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(context));
}

// Writes into an open file; false with errno set when something failed.
bool writeTo(std::FILE* file, const FramePixels& frame) {
    const int stride = frame.width * frame.channels;
    const bool written = stbi_write_png_to_func(writeToFile, file, frame.width, frame.height,
                                                frame.channels, frame.data.data(), stride) != 0;
    return !std::ferror(file) && written;
}

} // namespace

FramePixels readFrame(int width, int height, bool transparentBackground) {
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
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = writeTo(file, frame);
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        *error = path + ": " + std::strerror(written ? errno : writeError);
        std::remove(path.c_str());
        return false;
    }
    return true;
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
    const bool written = writeTo(file, frame);
    return closeScreenshotFile(file, name, written, errno);
}
