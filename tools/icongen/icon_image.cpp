#include "tools/icongen/icon_image.h"

#include <cmath>

namespace {

// The standard 16-colour palette as red, green, blue.
constexpr std::uint8_t palette[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void headers(std::vector<std::uint8_t>& out, int width, int height, int bits, int colours,
             std::uint32_t imageSize) {
    const std::uint32_t offset = 14 + 40 + 4 * static_cast<std::uint32_t>(colours);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<unsigned>(bits));
    put32(out, 0); // no compression
    put32(out, imageSize);
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, static_cast<std::uint32_t>(colours));
    put32(out, 0);
}

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
    std::vector<std::uint8_t> out;
    headers(out, 32, 32, 4, 16, 32 * 16);
    for (const auto& colour : palette) {
        out.push_back(colour[2]);
        out.push_back(colour[1]);
        out.push_back(colour[0]);
        out.push_back(0);
    }
    for (int y = 31; y >= 0; --y) {
        for (int x = 0; x < 32; x += 2) {
            out.push_back(static_cast<std::uint8_t>((iconPixel(x, y) << 4) | iconPixel(x + 1, y)));
        }
    }
    return out;
}
