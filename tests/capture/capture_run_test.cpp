// The capture tool run as a user runs it: scripted input through the real loop, the trace, the
// pictures and the exit status. Golden pictures are compared with a stated tolerance.
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

// Within 8 of (r, g, b) in every channel: a 5-6-5 drawable rounds each to its few bits.
::testing::AssertionResult near(const Picture& p, int x, int y, int r, int g, int b) {
    const unsigned char* px = p.at(x, y);
    const bool close =
        std::abs(px[0] - r) <= 8 && std::abs(px[1] - g) <= 8 && std::abs(px[2] - b) <= 8;
    return (close ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << "pixel (" << x << ", " << y << ") is " << int{px[0]} << ", " << int{px[1]} << ", "
           << int{px[2]} << "; near " << r << ", " << g << ", " << b << " expected";
}

TEST(CaptureRun, ScriptedInputDrivesTheRealLoopAndShowsInItsFrames) {
    fs::path dir = scratchDir("keys");
    // Lines in any order; held keys act on the idle turns after the turn that removed the key.
    CaptureRun run = runCapture(
        dir, "--check-gl --frames 200 --size 400x200 --every 30 --out " + (dir / "frames").string(),
        "150 close\n125 resize 500 300\n\n"
        "40 keydown 80  # P: the path\n44 keyup 80\n"
        "64 keydown 67  # C: free camera\n68 keyup 67\n"
        "70 keydown 107 # keypad plus, held\n90 keyup 107\n"
        "100 keydown 112 # F1: the About panel\n104 keyup 112\n");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_TRUE(run.stderrText.starts_with("check-gl: 0 unexpected GL errors") &&
                std::count(run.stderrText.begin(), run.stderrText.end(), '\n') == 1)
        << run.stderrText;
    // The close is removed on turn 150; its quit request on the next turn, which still draws.
    ASSERT_EQ(run.trace.size(), 151u);
    // The path shows as pure red and green lines once P is on, not before.
    for (int turn : {30, 60}) {
        const Picture p = loadPicture(framePath(dir, turn));
        int pathPixels = 0;
        for (std::size_t i = 0; i < p.rgb.size(); i += 3) {
            pathPixels +=
                p.rgb[i] * p.rgb[i + 1] == 0 && p.rgb[i] + p.rgb[i + 1] == 255 && p.rgb[i + 2] == 0;
        }
        EXPECT_EQ(pathPixels > 0, turn == 60) << turn << ": " << pathPixels;
    }
    // The status bar's second part ends at 300 pixels: its box's light edge at 297, the next
    // box's dark one at 300.
    const Picture plain = loadPicture(framePath(dir, 30));
    EXPECT_TRUE(near(plain, 297, 190, 255, 255, 255) && near(plain, 300, 190, 128, 128, 128));
    // The About panel's title bar at the top, the status bar along the resized bottom.
    EXPECT_FALSE(near(loadPicture(framePath(dir, 90)), 200, 5, 10, 36, 106));
    const Picture about = loadPicture(framePath(dir, 120));
    EXPECT_TRUE(near(about, 200, 5, 10, 36, 106));
    // 250 dialog units wide: 375 pixels, the last its dark border.
    EXPECT_TRUE(near(about, 373, 5, 10, 36, 106) && near(about, 374, 5, 64, 64, 64));
    const Picture resized = loadPicture(framePath(dir, 150));
    ASSERT_EQ(std::pair(resized.width, resized.height), std::pair(500, 300));
    EXPECT_TRUE(near(resized, 450, 290, 212, 208, 200));
}

TEST(CaptureRun, BadArgumentsAndScriptLinesAreRefusedWithAReason) {
    const fs::path dir = scratchDir("bad");
    const std::pair<const char*, const char*> cases[] = {
        {"--size 12by4", "--size must be WxH with both from 1 to 16384, not \"12by4\""},
        {"1 keydown 256", "script.txt:1: \"256\" is not a whole number from 0 to 255"},
        {"# fine\n0 close", "script.txt:2: frame number must be a whole number from 1, not \"0\""},
        {"5 jump",
         "script.txt:1: unknown event \"jump\" (keydown, keyup, mousemove, resize or close)"},
        {"5 resize 10", "script.txt:1: \"resize\" takes 2 number(s)"},
        {"5 mousemove -32769 3",
         "script.txt:1: \"-32769\" is not a whole number from -32768 to 65535"},
        {"x close", "script.txt:1: frame number must be a whole number from 1, not \"x\""},
        {"5 close\n7 keydown", "script.txt:2: \"keydown\" takes 1 number(s)"},
    };
    for (auto [input, reason] : cases) {
        const bool option = input[0] == '-';
        const CaptureRun run = runCapture(dir, option ? input : "--frames 3", option ? "" : input);
        EXPECT_EQ(run.status, option ? 2 : 1) << input; // a bad option; a script that can't be used
        EXPECT_TRUE(run.stderrText.starts_with("velmora-capture: ") &&
                    run.stderrText.ends_with(std::string(reason) + "\n") && run.trace.empty())
            << run.stderrText << "should end in " << reason;
    }
    // A trace that can't be written ends the run before its first turn.
    fs::create_directory(dir / "trace.jsonl");
    const CaptureRun unwritable = runCapture(dir, "--frames 3");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.stderrText, "velmora-capture: can't write the trace \"" +
                                         (dir / "trace.jsonl").string() + "\"\n");
}

// The About panel and the status bar are drawn from their layouts, texts and pictures alone (the
// clock is virtual), so their pixels are the same to the bit on every machine: a hash sees a
// control or a grip line moved by one unit, which the frame tolerances cannot. After an intended
// change the failure prints the new hash.
TEST(CaptureRun, TheAboutPanelAndStatusBarAreDrawnExactlyAsLaidOut) {
    const fs::path dir = scratchDir("about");
    const CaptureRun run = runCapture(
        dir, "--frames 4 --size 400x400 --out " + (dir / "frames").string(), "1 keydown 112\n");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const Picture p = loadPicture(framePath(dir, 4));
    ASSERT_EQ(p.width, 400);
    std::uint64_t hash = fnv1a(nullptr, 0); // the offset basis
    for (int y = 0; y < 377; ++y) {
        hash = fnv1a(p.at(0, y), 375 * 3, hash); // the panel, title bar to bottom edge
    }
    for (int y = 380; y < 400; ++y) {
        hash = fnv1a(p.at(0, y), 400 * 3, hash); // the status bar
    }
    EXPECT_EQ(hash, 11521411760325596857u);
}

// F12 writes the window, status bar included, into the working directory under a new name each
// press, held or not, and the size part shows where for four seconds (240 turns).
TEST(CaptureRun, F12WritesTheWindowAndSaysWhereForAWhile) {
    const fs::path dir = scratchDir("f12");
    const CaptureRun run =
        runCapture(dir, "--frames 250 --size 400x200",
                   "2 keydown 123\n4 keyup 123\n5 keydown 123\n6 keyup 123\n", true);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        // F12's pictures and no others: without --out no frame is written.
        if (name.ends_with(".png")) {
            EXPECT_TRUE(name.starts_with("velmora-")) << name;
            names.push_back(name);
            const Picture p = loadPicture(entry.path());
            EXPECT_EQ(std::pair(p.width, p.height), std::pair(400, 200)) << name;
            EXPECT_TRUE(near(p, 200, 195, 212, 208, 200)) << name << ": the status bar";
        }
    }
    // Both in one second: the second name is the first's with "-2".
    ASSERT_EQ(names.size(), 2u);
    std::sort(names.begin(), names.end(), [](auto& l, auto& r) { return l.size() < r.size(); });
    EXPECT_EQ(names[0].size(), std::string("velmora-20261207-061500.png").size()) << names[0];
    EXPECT_TRUE(names[1].size() == names[0].size() ||
                names[1] == names[0].substr(0, names[0].size() - 4) + "-2.png")
        << names[1];
    ASSERT_EQ(run.trace.size(), 250u);
    const std::string note = run.trace[6]["status"][1];
    EXPECT_TRUE(note.starts_with("Saved velmora-") && note.ends_with(".png")) << note;
    EXPECT_EQ(run.trace[6]["status"][2], run.trace[1]["status"][2]); // the frame rate stays
    EXPECT_EQ(run.trace[200]["status"][1], note);                    // 4 s at 1/60 s a turn
    EXPECT_EQ(run.trace[249]["status"][1], "400 x 200");
    // A window one pixel wide is a picture too.
    const CaptureRun narrow =
        runCapture(scratchDir("f12-narrow"), "--frames 4 --size 1x50", "2 keydown 123\n", true);
    EXPECT_TRUE(narrow.trace.back()["status"][1].get<std::string>().starts_with("Saved velmora-"))
        << narrow.trace.back()["status"][1];
}

// Only the frames written are read back from GL: reading every frame cost a run 40 percent.
TEST(CaptureRun, ReadsBackOnlyTheFramesItWrites) {
    const fs::path dir = scratchDir("read-back");
    for (const auto& [every, what, read] :
         {std::tuple{"", "writing the last frame", "(1 read back)"},
          {" --every 1", "writing every frame numbered", "(40 read back)"}}) {
        const CaptureRun run = runCapture(dir, "--frames 40 --size 64x32 --bench --out " +
                                                   (dir / "frames").string() + every);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const std::string& text = run.stderrText;
        EXPECT_TRUE(text.find(what) != text.npos && text.find(read) != text.npos) << every << text;
        const std::size_t rate = text.find(" frames per second");
        ASSERT_NE(rate, text.npos) << text;
        EXPECT_GT(std::stod(text.substr(text.rfind(' ', rate - 1) + 1)), 0.0) << text;
    }
}

// Of two frames the median is their mean, which the frame rate also gives: 1000 / rate ms.
TEST(CaptureRun, BenchMedianOfTwoFramesIsTheirMean) {
    const CaptureRun run = runCapture(scratchDir("bench-two"), "--frames 2 --size 64x32 --bench");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const std::string& text = run.stderrText;
    const std::size_t rate = text.find(" frames per second");
    const std::size_t median = text.find("median ");
    ASSERT_TRUE(rate != text.npos && median != text.npos) << text;
    const double fps = std::stod(text.substr(text.rfind(' ', rate - 1) + 1));
    EXPECT_NEAR(std::stod(text.substr(median + 7)) * fps / 1000.0, 1.0, 0.02) << text;
}

// A pointer dragged out past the left or top arrives as negative positions, the same 16-bit
// values as 65536 less; the free camera turns with it.
TEST(CaptureRun, NegativeMouseMovesTurnTheFreeCamera) {
    const fs::path dir = scratchDir("mouse");
    std::vector<nlohmann::json> directions;
    for (const char* move : {"-100 -50", "65436 65486"}) {
        const CaptureRun run =
            runCapture(dir, "--frames 12",
                       "1 keydown 67\n2 keyup 67\n6 mousemove 400 200\n8 mousemove " +
                           std::string(move) + "\n");
        ASSERT_EQ(run.status, 0) << run.stderrText;
        EXPECT_EQ(run.trace[0]["status"][1], "800 x 400"); // the size without --size
        EXPECT_NE(run.trace[6]["direction"], run.trace[7]["direction"]) << move; // turn 8
        directions.push_back(run.trace[11]["direction"]);
    }
    EXPECT_EQ(directions[0], directions[1]);
}

// Golden pictures, made anew by `make golden` after an intended change. A pixel differs when a
// channel is more than 24 of 255 off; at most 0.5 percent may differ. That absorbs rasteriser
// rounding at edges between Mesa builds while any change of colour, model, placement or outline
// shows. Turns of a sixth of a second reach the middle of the lap in a second of test time, so
// that a mutation run can afford them.
TEST(GoldenFrames, MatchWithinTolerance) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"start", "--frames 2 --size 400x200", ""},
        {"midlap", "--frames 120 --step 0.16666667 --size 400x200", ""},
        {"path", "--frames 48 --step 0.16666667 --size 400x200", "2 keydown 80\n6 keyup 80\n"}};
    for (auto [name, arguments, script] : cases) {
        const fs::path dir = scratchDir(std::string("golden-") + name);
        const CaptureRun run =
            runCapture(dir, std::string(arguments) + " --out " + (dir / "frames").string(), script);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        // Without --every only the last frame is written.
        ASSERT_EQ(std::distance(fs::directory_iterator(dir / "frames"), fs::directory_iterator()),
                  1);
        const Picture actual = loadPicture(framePath(dir, run.trace.size()));
        const fs::path golden =
            fs::path(VELMORA_SOURCE_DIR "/tests/golden") / (name + std::string(".png"));
        const Picture expected = loadPicture(golden);
        ASSERT_EQ(std::pair(actual.width, actual.height),
                  std::pair(expected.width, expected.height))
            << golden << " (make golden)";
        int differing = 0;
        auto off = [&](std::size_t c) { return std::abs(actual.rgb[c] - expected.rgb[c]) > 24; };
        for (std::size_t i = 0; i < actual.rgb.size(); i += 3) {
            differing += off(i) || off(i + 1) || off(i + 2);
        }
        EXPECT_LE(differing, actual.width * actual.height / 200)
            << differing << " pixels differ from " << golden << " in " << dir;
    }
}

} // namespace
