// velmora itself in broken environments: one clear message and the right exit status.
#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome runProgram(const std::string& environment) {
    std::string command = environment + " " VELMORA_EXE " 2>&1";
    Outcome outcome{-1, {}};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        outcome.output += buffer;
    }
    int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

} // namespace

TEST(Program, WithoutADisplayItSaysSoOnceAndFails) {
    Outcome o = runProgram("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60");
    EXPECT_EQ(o.status, exitNoDisplay);
    EXPECT_EQ(o.output,
              "velmora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); run it in "
              "a desktop session or under xvfb-run, or use velmora-capture for a headless run\n");
}

TEST(Program, WithoutGlItShowsTheErrorTextAndEndsWithZero) {
    // SDL's dummy driver has windows but no GL: the pixel-format step fails.
    Outcome o = runProgram("env SDL_VIDEODRIVER=dummy timeout 60");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.output, "ERROR: Can't Find A Suitable PixelFormat.\n");
}

TEST(Program, WithoutItsModelFilesItGivesTheLoadersMessageAndStatusOne) {
    char directory[] = "/tmp/velmora-no-data-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    Outcome o =
        runProgram(std::string("cd ") + directory + " && env SDL_VIDEODRIVER=offscreen timeout 60");
    rmdir(directory);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.output.find("can't open data file \"data/spaceship.obj\""), std::string::npos)
        << o.output;
    EXPECT_EQ(o.output.find("ERROR"), std::string::npos) << o.output;
}
