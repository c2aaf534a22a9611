// The capture tool run as a user runs it: scripted input through the real loop, the trace, the
// pictures and the exit status. Golden pictures are compared with a stated tolerance.
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

int countColour(const Picture& p, int r, int g, int b) {
    int count = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* px = p.at(x, y);
            count += px[0] == r && px[1] == g && px[2] == b;
        }
    }
    return count;
}

TEST(CaptureRun, ScriptedKeysDriveTheRealLoop) {
    fs::path dir = scratchDir("keys");
    // Each key is held for a few turns: the turn that removes a message is not an idle turn,
    // so the keys act on the idle turns that follow.
    CaptureRun run =
        runCapture(dir, "--frames 200 --size 400x200 --every 30 --out " + (dir / "frames").string(),
                   "10 keydown 80\n14 keyup 80\n"     // P: path on
                   "40 keydown 67\n44 keyup 67\n"     // C: free camera
                   "70 keydown 107\n90 keyup 107\n"   // keypad plus, held
                   "100 keydown 112\n104 keyup 112\n" // F1: About panel
                   "150 close\n");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    // The close is removed on turn 150; that turn still draws its frame, and the quit message
    // it posts is removed (and its frame drawn) on the next one.
    ASSERT_EQ(run.trace.size(), 151u);
    EXPECT_FALSE(run.trace[8]["showPath"].get<bool>());
    EXPECT_TRUE(run.trace[20]["showPath"].get<bool>());
    EXPECT_FALSE(run.trace[38]["freeCamera"].get<bool>());
    EXPECT_TRUE(run.trace[50]["freeCamera"].get<bool>());
    EXPECT_EQ(run.trace[60]["status"][0], "Speed: 0.200000");
    EXPECT_EQ(run.trace[95]["status"][0], "Speed: 1.000000");
    EXPECT_EQ(run.trace[95]["speedDivisor"], 1.0);
    EXPECT_FALSE(run.trace[98]["aboutVisible"].get<bool>());
    EXPECT_TRUE(run.trace[110]["aboutVisible"].get<bool>());
    EXPECT_EQ(run.trace.back()["frame"], 151);

    // The path shows as pure red and green lines once P is on, not before.
    Picture before = loadPicture(dir / "frames" / "frame-000030.png");
    ASSERT_EQ(before.width, 400);
    ASSERT_EQ(before.height, 200);
    EXPECT_GT(countColour(before, 255, 0, 0) + countColour(before, 0, 255, 0), 0)
        << "frame 30 has the path on (P at frame 10)";
    EXPECT_FALSE(fs::exists(dir / "frames" / "frame-000180.png")) << "the run ended at 151";
}

TEST(CaptureRun, PathHiddenAtStartShowsNoPathColours) {
    fs::path dir = scratchDir("nopath");
    CaptureRun run =
        runCapture(dir, "--frames 30 --size 400x200 --out " + (dir / "frames").string());
    ASSERT_EQ(run.status, 0) << run.stderrText;
    ASSERT_EQ(run.trace.size(), 30u);
    // Without --every only the last frame is written.
    EXPECT_FALSE(fs::exists(dir / "frames" / "frame-000029.png"));
    Picture last = loadPicture(dir / "frames" / "frame-000030.png");
    ASSERT_EQ(last.width, 400);
    EXPECT_EQ(countColour(last, 255, 0, 0), 0);
}

TEST(CaptureRun, VirtualClockMakesRunsRepeatable) {
    fs::path a = scratchDir("repeat-a");
    fs::path b = scratchDir("repeat-b");
    CaptureRun first = runCapture(a, "--frames 40 --step 0.02 --size 200x100");
    CaptureRun second = runCapture(b, "--frames 40 --step 0.02 --size 200x100");
    ASSERT_EQ(first.status, 0) << first.stderrText;
    ASSERT_EQ(first.trace, second.trace);
    // 40 turns of 0.02 s: the first delta is one step (the clock starts at construction).
    EXPECT_DOUBLE_EQ(first.trace[0]["averageFrameTime"].get<double>(), 0.02 / 20);
    EXPECT_DOUBLE_EQ(first.trace[39]["averageFrameTime"].get<double>(), 0.02);
    EXPECT_EQ(first.trace[0]["status"][2], "FPS: 1 Secs: 1");
    EXPECT_EQ(first.trace[0]["status"][1], "200 x 100");
}

TEST(CaptureRun, BadArgumentsAndScriptsAreRefusedWithAReason) {
    fs::path dir = scratchDir("bad");
    CaptureRun run = runCapture(dir, "--size 12by4");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stderrText.find("--size must be WxH"), std::string::npos) << run.stderrText;
    run = runCapture(dir, "--frames 3", "3 keydown 999\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.stderrText.find("script.txt:1: \"999\" is not a whole number"), std::string::npos)
        << run.stderrText;
}

// Golden pictures: regenerate with `make golden` when a change to the picture is intended.
// Tolerance: a pixel differs when any channel differs by more than 24 of 255; at most 0.5
// percent of the pixels may differ. That absorbs rasteriser rounding at edges between Mesa
// builds while any change of colour, model, placement or outline shows.
struct Golden {
    const char* name;
    const char* arguments;
    const char* script;
};

class GoldenFrames : public testing::TestWithParam<Golden> {};

TEST_P(GoldenFrames, MatchWithinTolerance) {
    const Golden& golden = GetParam();
    fs::path dir = scratchDir(std::string("golden-") + golden.name);
    CaptureRun run = runCapture(
        dir, std::string(golden.arguments) + " --out " + (dir / "frames").string(), golden.script);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    fs::path produced;
    for (const auto& entry : fs::directory_iterator(dir / "frames")) {
        produced = entry.path();
    }
    Picture actual = loadPicture(produced);
    fs::path expectedPath =
        fs::path(VELMORA_SOURCE_DIR) / "tests" / "golden" / (std::string(golden.name) + ".png");
    Picture expected = loadPicture(expectedPath);
    ASSERT_GT(expected.width, 0) << "missing " << expectedPath << " (make golden)";
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    int differing = 0;
    for (std::size_t i = 0; i < actual.rgb.size(); i += 3) {
        for (int c = 0; c < 3; ++c) {
            if (std::abs(actual.rgb[i + c] - expected.rgb[i + c]) > 24) {
                ++differing;
                break;
            }
        }
    }
    int pixels = actual.width * actual.height;
    EXPECT_LE(differing, pixels / 200) << differing << " of " << pixels << " pixels differ from "
                                       << expectedPath << "; produced " << produced;
}

INSTANTIATE_TEST_SUITE_P(
    Capture, GoldenFrames,
    testing::Values(Golden{"start", "--frames 2 --size 400x200", ""},
                    Golden{"midlap", "--frames 1200 --size 400x200", ""},
                    Golden{"path", "--frames 480 --size 400x200", "2 keydown 80\n6 keyup 80\n"}),
    [](const testing::TestParamInfo<Golden>& info) { return std::string(info.param.name); });

} // namespace
