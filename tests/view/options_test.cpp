// velmora-view's command line, and the size text capture shares: what each form means and what
// is refused.
#include "ui/size_text.h"
#include "view/options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    return out;
}

struct OptionsCase {
    const char* line;
    bool ok;
    const char* files; // space-separated, or the error's text
    const char* output = "";
    int width = 0;
    int height = 0;
    bool noBackground = false;
};

const OptionsCase optionsCases[] = {
    {"a.obj", true, "a.obj", "", 1024, 768, false},
    {"a.obj b.obj c.obj", true, "a.obj b.obj c.obj", "", 1024, 768, false},
    {"a.obj --output o.png --size 256", true, "a.obj", "o.png", 256, 256, false},
    {"a.obj --output=o.png --size=640x480 --no-background", true, "a.obj", "o.png", 640, 480, true},
    {"--size 300x200 a.obj", true, "a.obj", "", 300, 200, false},
    {"-- --odd-name.obj", true, "--odd-name.obj", "", 1024, 768, false},
    {"a=b.obj", true, "a=b.obj", "", 1024, 768, false},
    {"", false, "no model file given"},
    {"a.obj --output", false, "--output needs a value"},
    {"a.obj --output o.png --size 0", false, "--size wants N or WxH, each 1 to 8192, not \"0\""},
    {"a.obj --output o.png --size 8193", false,
     "--size wants N or WxH, each 1 to 8192, not \"8193\""},
    {"a.obj --output o.png --size 20x", false,
     "--size wants N or WxH, each 1 to 8192, not \"20x\""},
    {"a.obj --output o.png --size 2x3x4", false,
     "--size wants N or WxH, each 1 to 8192, not \"2x3x4\""},
    {"a.obj --output o.png --size -5", false, "--size wants N or WxH, each 1 to 8192, not \"-5\""},
    {"a.obj b.obj --output o.png", false, "a headless run draws one file, not 2"},
    {"a.obj --output o.png --watch", false, "--watch needs the window"},
    {"a.obj --no-background", false, "--no-background goes with --output"},
    {"a.obj --watch=yes", false, "--watch takes no value"},
    {"a.obj --frobnicate", false, "unknown option --frobnicate"},
    {"a.obj --max-size 1048576", true, "a.obj", "", 1024, 768, false},
    {"a.obj --max-size 1048577", false, "--max-size wants megabytes from 1, not \"1048577\""},
    {"a.obj --bench-orbit ten", false, "--bench-orbit wants a frame count, not \"ten\""},
    {"a.obj --bench-orbit 1000000", true, "a.obj", "", 1024, 768, false},
    {"a.obj --bench-orbit 1000001", false, "--bench-orbit wants a frame count, not \"1000001\""},
};

TEST(ViewOptions, EachFormAndEachRefusal) {
    for (const OptionsCase& c : optionsCases) {
        ViewOptions options;
        std::string error;
        const bool ok = parseViewOptions(words(c.line), &options, &error);
        ASSERT_EQ(ok, c.ok) << c.line << ": " << error;
        if (!ok) {
            EXPECT_EQ(error, c.files) << c.line;
            continue;
        }
        std::string files;
        for (const std::string& file : options.files) {
            files += (files.empty() ? "" : " ") + file;
        }
        EXPECT_EQ(files, c.files) << c.line;
        EXPECT_EQ(options.output, c.output) << c.line;
        EXPECT_EQ(options.width, c.width) << c.line;
        EXPECT_EQ(options.height, c.height) << c.line;
        EXPECT_EQ(options.noBackground, c.noBackground) << c.line;
    }
}

TEST(ViewOptions, APathWithSpacesIsOneFile) {
    ViewOptions options;
    std::string error;
    ASSERT_TRUE(parseViewOptions({"/tmp/my models/a b.obj", "--output", "/tmp/out dir/o.png"},
                                 &options, &error));
    EXPECT_EQ(options.files, std::vector<std::string>{"/tmp/my models/a b.obj"});
    EXPECT_EQ(options.output, "/tmp/out dir/o.png");
}

// Capture takes sizes up to 16384, the viewer up to 8192: the limit is the caller's.
struct SizeCase {
    const char* text;
    int limit;
    int width; // 0: refused
    int height;
};

const SizeCase sizeCases[] = {
    {"16384x1", 16384, 16384, 1}, {"1x16384", 16384, 1, 16384}, {"16385x1", 16384, 0, 0},
    {"8193x8", 8192, 0, 0},       {"+8x8", 16384, 0, 0},        {" 8x8", 16384, 0, 0},
    {"8x 8", 16384, 0, 0},        {"8", 16384, 0, 0},           {"99999999999x1", 16384, 0, 0},
};

TEST(SizeText, TheLimitIsTheCallersAndNothingButTwoNumbersPasses) {
    for (const SizeCase& c : sizeCases) {
        int width = 0;
        int height = 0;
        const bool ok = parseSize(c.text, c.limit, &width, &height);
        EXPECT_EQ(ok, c.width > 0) << c.text << " up to " << c.limit;
        if (ok) {
            EXPECT_EQ(std::pair(width, height), std::pair(c.width, c.height)) << c.text;
        }
    }
}

} // namespace
