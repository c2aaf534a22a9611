// velmora-icongen ICON.bmp: writes the window's icon.
// velmora-icongen --png SIZE ICON.png: writes the desktop icon at SIZE x SIZE (the build makes
// the icon theme's sizes with it).
// The output is the same, byte for byte, on every run and machine.
#include "tools/icongen/icon_image.h"

#include <stb_image_write.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool write(const char* path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::perror(path);
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: could not write the picture\n", path);
    }
    return ok;
}

bool writePng(const char* sizeText, const char* path) {
    int size = 0;
    const char* end = sizeText + std::strlen(sizeText);
    auto [rest, error] = std::from_chars(sizeText, end, size);
    // Icon themes stop at 512: a larger number is a slip of the keyboard.
    if (error != std::errc{} || rest != end || size < 1 || size > 1024) {
        std::fprintf(stderr, "velmora-icongen: the size \"%s\" is not a whole number 1 to 1024\n",
                     sizeText);
        return false;
    }
    if (!stbi_write_png(path, size, size, 4, makeIconRgba(size).data(), size * 4)) {
        std::fprintf(stderr, "%s: could not write the picture\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        return write(argv[1], makeIconBmp()) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "--png") == 0) {
        return writePng(argv[2], argv[3]) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: velmora-icongen ICON.bmp | velmora-icongen --png SIZE ICON.png\n");
    return 2;
}
