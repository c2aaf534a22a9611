// velmora itself in broken environments and with arguments: one clear message and the right
// exit status.
#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

TEST(Program, InABrokenEnvironmentItSaysWhatIsMissingOnceAndEndsWithItsStatus) {
    // Where velmora looks for its models when the working directory has no data/.
    const std::filesystem::path bin = std::filesystem::path(VELMORA_EXE).parent_path();
    const std::string lookedIn =
        "velmora: looked for the models in data/ (working directory), " VELMORA_INSTALLED_DATA
        ", " +
        (bin.parent_path() / "share/velmora/data").string() + ", " + (bin / "data").string() + "\n";
    const struct {
        std::string environment;
        int status;
        std::string output; // "...": the output starts with the rest
        std::string arguments = "";
    } cases[] = {
        {"env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", exitNoDisplay,
         "velmora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); run it in a "
         "desktop session or under xvfb-run, or use velmora-capture for a headless run\n"},
        // SDL's dummy driver has windows but no GL: the pixel-format step fails.
        {"env SDL_VIDEODRIVER=dummy", 0, "ERROR: Can't Find A Suitable PixelFormat.\n"},
        // Without its model files: the loader's message, where else it looked, and no error box.
        {"cd / && env SDL_VIDEODRIVER=offscreen", 1,
         "glmReadOBJ() failed: can't open data file \"data/spaceship.obj\".\n" + lookedIn},
        {"env", 0, "velmora 1.0\n", "--version"},
        {"env", 0, "...Usage: velmora [--help | --version]\n", "--help"},
        {"env", 2, "velmora: unknown argument \"-fullscreen\" (see velmora --help)\n",
         "-fullscreen"},
        {"env", 2, "velmora: unknown argument \"x\" (see velmora --help)\n", "--help x"},
    };
    for (const auto& c : cases) {
        if (c.environment.starts_with("cd /") &&
            std::filesystem::is_directory(VELMORA_INSTALLED_DATA)) {
            continue; // `make install` left the models where any working directory finds them
        }
        std::FILE* pipe = popen(
            (c.environment + " timeout 60 " VELMORA_EXE " " + c.arguments + " 2>&1").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        for (int ch; (ch = std::fgetc(pipe)) != EOF;) {
            output += static_cast<char>(ch);
        }
        const int raw = pclose(pipe);
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status) << c.environment;
        if (c.output.starts_with("...")) {
            EXPECT_TRUE(output.starts_with(c.output.substr(3))) << c.arguments << ": " << output;
        } else {
            EXPECT_EQ(output, c.output) << c.environment << " " << c.arguments;
        }
    }
}
