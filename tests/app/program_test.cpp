// velmora itself in broken environments, and all four programs with arguments: one clear
// message and the right exit status (0 --help and --version, 2 a bad option or a missing
// argument, 1 a file that cannot be used).
#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>

TEST(Program, InABrokenEnvironmentOrWithBadArgumentsEachSaysWhatIsWrongAndEndsWithItsStatus) {
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
        std::string program = VELMORA_EXE;
    } cases[] = {
        {"env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", exitNoDisplay,
         "velmora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); run it in a "
         "desktop session or under xvfb-run, or use velmora-capture for a headless run\n"},
        {"env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:97", exitNoDisplay,
         "...velmora: no display found (could not connect to DISPLAY=:97)"},
        // On an X display the demo runs until it is stopped (124: by the timeout).
        {"env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY xvfb-run -a timeout 3", 124, "..."},
        // SDL's dummy driver has windows but no GL: the pixel-format step fails.
        {"env SDL_VIDEODRIVER=dummy", 0, "ERROR: Can't Find A Suitable PixelFormat.\n"},
        // Without its model files: the loader's message, where else it looked, and no error box.
        {"cd / && env SDL_VIDEODRIVER=offscreen", 1,
         "glmReadOBJ() failed: can't open data file \"data/spaceship.obj\".\n" + lookedIn},
        {"env", 0, "velmora 1.0\n", "--version"},
        {"env", 0, "...Usage: velmora [--help | --version]\n", "--help"},
        {"env", 2,
         "velmora: unknown argument \"-fullscreen\" (see velmora --help)\nUsage: velmora "
         "[--help | --version]\n",
         "-fullscreen"},
        {"env", 2, "...velmora: unknown argument \"x\" (see velmora --help)\n", "--help x"},
        {"env", 0, "velmora-view 1.0\n", "--version", VELMORA_VIEW},
        {"env", 0, "...usage: velmora-view", "--help", VELMORA_VIEW},
        {"env", 2, "...velmora-view: unknown option --frobnicate\nusage:", "a.obj --frobnicate",
         VELMORA_VIEW},
        {"env", 2, "...velmora-view: no model file given\nusage:", "", VELMORA_VIEW},
        {"env", 2, "...velmora-view: --output writes PNG: name it .png, not \"o.jpg\"",
         "a.obj --output o.jpg", VELMORA_VIEW},
        {"env", 2, "...velmora-view: --size is given twice", "a.obj --size 2 --size 3",
         VELMORA_VIEW},
        {"env", 1, "...glmReadOBJ() failed: can't open data file \"/no/such.obj\".",
         "/no/such.obj --output /tmp/no.png", VELMORA_VIEW},
        // A headless run draws offscreen whatever driver the environment names.
        {"env SDL_VIDEODRIVER=dummy", 0, "...orbit: 1 frames at 8 x 8",
         VELMORA_SOURCE_DIR "/data/torus.obj --size 8 --bench-orbit 1", VELMORA_VIEW},
        {"env", 0, "velmora-objinfo 1.0\n", "--version", VELMORA_OBJINFO},
        {"env", 0, "...Prints what", "--help", VELMORA_OBJINFO},
        {"env", 2, "...velmora-objinfo: FILE is required", "", VELMORA_OBJINFO},
        {"env", 2, "...velmora-objinfo: The following argument", "--bogus a.obj", VELMORA_OBJINFO},
        {"env", 1, "...glmReadOBJ() failed: can't open data file", "/no/such.obj", VELMORA_OBJINFO},
        {"env", 0, "velmora-capture 1.0\n", "--version", VELMORA_CAPTURE},
        {"env", 0, "...velmora-capture: runs", "--help", VELMORA_CAPTURE},
        {"env", 2, "...velmora-capture: --frames: 1 required", "--frames", VELMORA_CAPTURE},
        {"env", 2, "...velmora-capture: The following argument", "--bogus", VELMORA_CAPTURE},
        {"env", 1, "velmora-capture: can't open script \"/no/such.txt\"\n", "--script /no/such.txt",
         VELMORA_CAPTURE},
        {"cd / && env", 1, "...glmReadOBJ() failed: can't open data file \"data/spaceship.obj\".",
         "--frames 1", VELMORA_CAPTURE},
    };
    for (const auto& c : cases) {
        if (c.environment.starts_with("cd /") &&
            std::filesystem::is_directory(VELMORA_INSTALLED_DATA)) {
            continue; // `make install` left the models where any working directory finds them
        }
        std::FILE* pipe = popen(
            (c.environment + " timeout 60 " + c.program + " " + c.arguments + " 2>&1").c_str(),
            "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        for (int ch; (ch = std::fgetc(pipe)) != EOF;) {
            output += static_cast<char>(ch);
        }
        const int raw = pclose(pipe);
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status)
            << c.environment << " " << c.program << " " << c.arguments;
        if (c.output.starts_with("...")) {
            EXPECT_NE(output.find(c.output.substr(3)), std::string::npos)
                << c.program << " " << c.arguments << ": " << output;
        } else {
            EXPECT_EQ(output, c.output) << c.environment << " " << c.arguments;
        }
    }
}
