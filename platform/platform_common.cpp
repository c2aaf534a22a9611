// What every program shares, whichever platform it links: the counter and BMP decoding (SDL
// reads BMP without a display).
#include "platform/platform.h"

#include <SDL2/SDL.h>

#include <cstring>

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
