// The resources built into the program, and what happens when one is unusable.
#include "app/resources.h"

#include <gtest/gtest.h>

TEST(Resources, TheIconAndTheAboutPictureAreBuiltIn) {
    const Image& icon = resourceImage(IDI_VELMORA);
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    const Image& about = resourceImage(IDB_ABOUT);
    EXPECT_EQ(about.width, 320);
    EXPECT_EQ(about.height, 241);
    ASSERT_NE(findResource(IDB_ABOUT), nullptr);
    EXPECT_STREQ(findResource(IDB_ABOUT)->file, "res/about.bmp");
}

TEST(Resources, ACorruptPictureIsReportedWithItsFileAndLeavesAnEmptyImage) {
    static const unsigned char junk[] = "BM this is not really a bitmap at all";
    EmbeddedResource resource{IDB_ABOUT, "res/about.bmp", junk, sizeof junk};
    Image image;
    image.width = 5;
    std::string message;
    EXPECT_FALSE(decodeResource(resource, &image, &message));
    EXPECT_EQ(message.rfind("res/about.bmp: ", 0), 0u) << message;
    EXPECT_GT(message.size(), std::string("res/about.bmp: ").size());
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.rgba.empty());
}

TEST(Resources, AnUnknownResourceIsEmptyAndSaysSo) {
    ::testing::internal::CaptureStderr();
    const Image& image = resourceImage(IDD_ABOUT);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(image.rgba.empty());
    EXPECT_NE(said.find("not built into the program"), std::string::npos) << said;
}
