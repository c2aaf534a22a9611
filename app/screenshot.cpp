#include "shell/screenshot.h"

#include "ui/screenshot_file.h"
#include "shell/shell.h"
#include "platform/platform.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <cerrno>
#include <cstdio>
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

    std::string name;
    std::string failure;
    std::FILE* file = openScreenshotFile(&name, &failure);
    if (file == nullptr) {
        return failure;
    }
    const int stride = width * 3;
    // GL rows run bottom-up, PNG rows top-down.
    const unsigned char* top = pixels.data() + static_cast<std::size_t>(height - 1) * stride;
    bool written = stbi_write_png_to_func(writeToFile, file, width, height, 3, top, -stride) != 0;
    written = !std::ferror(file) && written;
    return closeScreenshotFile(file, name, written, errno);
}
