// The BMP decoder, the committed pictures and the icon generator.
#include "platform/platform.h"
#include "tools/icongen/icon_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> rgbaAt(const Image& image, int x, int y) {
    const std::uint8_t* p = &image.rgba[static_cast<std::size_t>(y * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

using Rgba = std::vector<std::uint8_t>;

} // namespace

TEST(Pictures, TheCommittedIconIsWhatTheGeneratorWrites) {
    EXPECT_EQ(readFile(VELMORA_SOURCE_DIR "/res/icon.bmp"), makeIconBmp());
}

TEST(Pictures, TheIconIsABallInThreeBandsOnBlack) {
    std::vector<std::uint8_t> bytes = makeIconBmp();
    Image icon;
    std::string error;
    ASSERT_TRUE(platformDecodeBmp(bytes.data(), bytes.size(), &icon, &error)) << error;
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    EXPECT_EQ(rgbaAt(icon, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(rgbaAt(icon, 31, 31), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(rgbaAt(icon, 11, 11), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(rgbaAt(icon, 22, 12), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(rgbaAt(icon, 22, 24), (Rgba{0, 128, 0, 255}));
    int colours[16] = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ++colours[iconPixel(x, y)];
        }
    }
    EXPECT_EQ(colours[0] + colours[2] + colours[10] + colours[11], 32 * 32);
}

TEST(Pictures, TheAboutPictureIs320By241) {
    std::vector<std::uint8_t> bytes = readFile(VELMORA_SOURCE_DIR "/res/about.bmp");
    Image about;
    std::string error;
    ASSERT_TRUE(platformDecodeBmp(bytes.data(), bytes.size(), &about, &error)) << error;
    EXPECT_EQ(about.width, 320);
    EXPECT_EQ(about.height, 241);
    ASSERT_GE(bytes.size(), 30u);
    EXPECT_EQ(bytes[28], 24); // bits a pixel
}

TEST(Pictures, BytesThatAreNotABmpAreRefusedWithAReason) {
    Image image;
    std::string error;
    const char text[] = "GIF89a not a bitmap";
    EXPECT_FALSE(platformDecodeBmp(text, sizeof text, &image, &error));
    EXPECT_NE(error.find("BM"), std::string::npos) << error;
    EXPECT_FALSE(platformDecodeBmp(nullptr, 0, &image, &error));
    EXPECT_EQ(error, "empty file");
}

TEST(Pictures, ATruncatedOrDamagedBmpIsRefusedWithoutACrash) {
    std::vector<std::uint8_t> bytes = makeIconBmp();
    for (std::size_t keep : {2u, 14u, 40u, 60u, 117u, 200u}) {
        Image image;
        std::string error;
        EXPECT_FALSE(platformDecodeBmp(bytes.data(), keep, &image, &error)) << keep;
        EXPECT_FALSE(error.empty());
    }
    std::vector<std::uint8_t> damaged = bytes;
    damaged[18] = 0xFF; // width 255 + ...
    damaged[19] = 0xFF;
    damaged[20] = 0xFF;
    damaged[21] = 0x7F;
    Image image;
    std::string error;
    EXPECT_FALSE(platformDecodeBmp(damaged.data(), damaged.size(), &image, &error));
}
