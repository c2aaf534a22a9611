#include "tools/icongen/icon_image.h"

#include <cmath>
#include <utility>

namespace {

// The standard 16-colour palette as red, green, blue.
constexpr std::uint8_t palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

// Band of a ball of radius r centred at (cx, cy), lit from the upper left and the front:
// 3 yellow, 2 bright green, 1 dark green, 0 outside. Only correctly rounded operations (and
// no contraction), so every machine draws the same ball.
int ballBand(int x2, int y2, int cx2, int cy2, int r2) {
    // Coordinates are doubled so that pixel centres are integers.
    const int dx = x2 - cx2;
    const int dy = y2 - cy2;
    const int d = dx * dx + dy * dy;
    if (d > r2 * r2) {
        return 0;
    }
    // Light direction (-1, -1, 1.5) up to scale; the surface point's height from the sphere.
    const double z = std::sqrt(static_cast<double>(r2 * r2 - d));
    const double lit = (-dx - dy + 1.5 * z) / (static_cast<double>(r2) * std::sqrt(4.25));
    // Rounded to a 1/1000 grid before the comparisons keeps the bands identical everywhere.
    const long grid = std::lround(lit * 1000.0);
    if (grid > 700) {
        return 3;
    }
    if (grid > 250) {
        return 2;
    }
    return 1;
}

constexpr int bandColour[4] = {0, 2, 10, 11};

// The ball scaled with the picture, so every size has the same margin and bands.
int iconBand(int x, int y, int size) {
    return ballBand(2 * x + 1, 2 * y + 1, size, size, 29 * size / 32);
}

} // namespace

int iconPixel(int x, int y) {
    return bandColour[iconBand(x, y, 32)];
}

std::vector<std::uint8_t> makeIconRgba(int size) {
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int band = iconBand(x, y, size);
            const std::uint8_t* colour = palette[bandColour[band]];
            out.insert(out.end(), colour, colour + 3);
            out.push_back(band == 0 ? 0 : 255);
        }
    }
    return out;
}

std::vector<std::uint8_t> makeIconBmp() {
    const std::uint32_t imageSize = 32 * 16; // two pixels a byte
    const std::uint32_t offset = 14 + 40 + 4 * 16;
    const std::uint32_t fileSize = offset + imageSize;
    // Little-endian (value, bytes) after "BM": the file header (file size, reserved, where the
    // pixels start), then the info header (its size, width, height, planes, bits a pixel, no
    // compression, image size, 72 dots per inch across and down, colours, all important).
    const std::pair<std::uint32_t, int> fields[] = {
        {fileSize, 4}, {0, 4}, {offset, 4},    {40, 4},   {32, 4},   {32, 4}, {1, 2},
        {4, 2},        {0, 4}, {imageSize, 4}, {2835, 4}, {2835, 4}, {16, 4}, {0, 4}};
    std::vector<std::uint8_t> out{'B', 'M'};
    for (auto [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    for (const auto& colour : palette) {
        out.insert(out.end(), {colour[2], colour[1], colour[0], 0});
    }
    for (int y = 31; y >= 0; --y) {
        for (int x = 0; x < 32; x += 2) {
            out.push_back(static_cast<std::uint8_t>((iconPixel(x, y) << 4) | iconPixel(x + 1, y)));
        }
    }
    return out;
}
