// velmora-icongen ICON.bmp: writes the icon.
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
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-icongen ICON.bmp\n");
        return 2;
    }
    return write(argv[1], makeIconBmp()) ? 0 : 1;
}
