// What every program shares, whichever platform it links: the counter and BMP decoding (SDL
// reads BMP without a display).
#include "platform/platform.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

struct Common {
    bool haveSource = false;
    CounterSource source{};
};
Common common;

} // namespace

std::int64_t platformCounterFrequency() {
    return common.haveSource ? common.source.frequency(common.source.context)
                             : static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
}

std::int64_t platformCounter() {
    return common.haveSource ? common.source.counter(common.source.context)
                             : static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

void platformSetCounterSource(const CounterSource* source) {
    common.haveSource = source != nullptr;
    common.source = source != nullptr ? *source : CounterSource{};
}

bool platformDecodeBmp(const void* data, std::size_t size, Image* image, std::string* error) {
    if (data == nullptr || size < 2 || std::memcmp(data, "BM", 2) != 0) {
        *error = size == 0 ? "empty file" : "not a BMP file (no \"BM\" signature)";
        return false;
    }
    SDL_Surface* loaded = SDL_LoadBMP_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1);
    SDL_Surface* rgba =
        loaded != nullptr ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0) : nullptr;
    SDL_FreeSurface(loaded);
    if (rgba == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    image->width = rgba->w;
    image->height = rgba->h;
    // An RGBA32 surface's rows are 4-byte pixels with nothing between them.
    SDL_LockSurface(rgba);
    const auto* pixels = static_cast<const std::uint8_t*>(rgba->pixels);
    image->rgba.assign(pixels, pixels + static_cast<std::size_t>(rgba->pitch) * rgba->h);
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    return true;
}

double platformSecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = content.rfind(')');
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (close == std::string::npos || close + 2 > content.size() || ticksPerSecond <= 0) {
        return -1;
    }
    std::istringstream fields(content.substr(close + 2));
    std::string field;
    // Field 22 (starttime) counted from field 3, the first after the command name.
    int number = 3;
    for (; number <= 22 && fields >> field; ++number) {
    }
    timespec now{};
    if (number != 23 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return -1;
    }
    const double started =
        std::strtod(field.c_str(), nullptr) / static_cast<double>(ticksPerSecond);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 - started;
}
