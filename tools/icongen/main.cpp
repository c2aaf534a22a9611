// velmora-icongen ICON.bmp [ABOUT.bmp]: writes the icon (and the About placeholder picture).
// The output is the same, byte for byte, on every run and machine.
#include "tools/icongen/icon_image.h"

#include <cstdio>
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: velmora-icongen ICON.bmp [ABOUT.bmp]\n");
        return 2;
    }
    if (!write(argv[1], makeIconBmp())) {
        return 1;
    }
    if (argc == 3 && !write(argv[2], makeAboutPlaceholderBmp())) {
        return 1;
    }
    return 0;
}
