// The tree `cmake --install` lays out, used as a user uses it: the programs find their models
// from any working directory, and a desktop finds the demo's entry and icon.
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

// The build installed under DIR/prefix; empty when the install failed (its output says why).
fs::path installInto(const fs::path& dir) {
    const std::string command = VELMORA_CMAKE " --install " VELMORA_BUILD_DIR " --prefix " +
                                (dir / "prefix").string() + " > " + (dir / "install.txt").string() +
                                " 2>&1";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "cmake --install failed:\n" << readFile(dir / "install.txt");
        return {};
    }
    return dir / "prefix";
}

} // namespace

TEST(Install, TheInstalledCaptureDrawsTheSameFrameFromAFolderWithoutModels) {
    const fs::path dir = scratchDir("install-frame");
    const fs::path prefix = installInto(dir);
    ASSERT_FALSE(prefix.empty());
    fs::create_directories(dir / "elsewhere");
    const std::string installed = "cd " + (dir / "elsewhere").string() + " && " +
                                  (prefix / "bin/velmora-capture").string() +
                                  " --frames 30 --out " + (dir / "installed").string() + " 2> " +
                                  (dir / "stderr.txt").string();
    ASSERT_EQ(std::system(installed.c_str()), 0) << readFile(dir / "stderr.txt");
    const CaptureRun here = runCapture(dir, "--frames 30 --out " + (dir / "here").string());
    ASSERT_EQ(here.status, 0) << here.stderrText;

    const Picture expected = loadPicture(dir / "here/frame-000030.png");
    const Picture actual = loadPicture(dir / "installed/frame-000030.png");
    ASSERT_EQ(expected.width, 800);
    EXPECT_TRUE(actual.width == expected.width && actual.height == expected.height &&
                actual.rgb == expected.rgb);
}

TEST(Install, TheDesktopFindsTheDemosEntryAndItsIconInEverySize) {
    const fs::path dir = scratchDir("install-desktop");
    const fs::path prefix = installInto(dir);
    ASSERT_FALSE(prefix.empty());
    const std::string entry = readFile(prefix / "share/applications/velmora.desktop");
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n")) << entry;
    for (const char* line : {"Type=Application", "Name=Velmora Demo", "Exec=velmora",
                             "Icon=velmora", "Categories=Graphics;3DGraphics;"}) {
        // Appended: GCC 12 at -O3 takes "\n" + std::string(...) for an overlapping copy.
        EXPECT_NE(entry.find(std::string("\n").append(line).append("\n")), std::string::npos)
            << line;
    }
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const Picture icon =
            loadPicture(prefix / "share/icons/hicolor" / name / "apps/velmora.png");
        ASSERT_TRUE(icon.width == size && icon.height == size) << name << ": " << icon.width;
        // The ball fills the middle; the corners are left clear.
        const unsigned char* middle = icon.at(size / 2, size / 2);
        EXPECT_GT(middle[0] + middle[1] + middle[2], 0) << name;
        EXPECT_EQ(icon.at(0, 0)[0] + icon.at(0, 0)[1] + icon.at(0, 0)[2], 0) << name;
    }
}
