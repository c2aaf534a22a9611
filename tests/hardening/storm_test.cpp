// The real loop through velmora-capture under hostile input and under the memory checkers: a
// scripted storm of resizes, mouse jumps and every key code, a run with a GL error injected,
// and a 300-turn run that, in a sanitizer build, is the ASan/LSan/UBSan run of the tool.
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace {

void expectCleanRun(const CaptureRun& run, std::size_t turns) {
    ASSERT_EQ(run.status, 0) << run.stderrText;
    for (const char* marker : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
        EXPECT_EQ(run.stderrText.find(marker), std::string::npos) << run.stderrText;
    }
    EXPECT_NE(run.stderrText.find("check-gl: 0 unexpected GL errors"), std::string::npos)
        << run.stderrText;
    EXPECT_EQ(run.trace.size(), turns);
}

TEST(InputStorm, ResizesMouseJumpsAndEveryKeyLeaveNoNaN) {
    std::uint32_t state = 20261206; // the test's own generator: the same script everywhere
    auto below = [&state](int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
    };
    std::ostringstream script;
    std::int64_t f = 1;
    // 1,000 resizes, zero widths and heights among them, each followed by a mouse move
    // anywhere in the 16-bit range.
    for (int i = 0; i < 1000; ++i, f += 3) {
        int w = i % 7 == 3 ? 0 : below(321);
        int h = i % 11 == 5 ? 0 : below(241);
        script << f << " resize " << w << " " << h << "\n"
               << f + 1 << " mousemove " << below(65536) << " " << below(65536) << "\n";
    }
    std::int64_t keysFrom = f;
    // Every key code but Escape (even a tap of it ends the run) held over an idle turn, so
    // that the loop acts on it; F1 (112) goes last, since the About panel it shows takes the
    // keyboard.
    for (int code = 0; code < 256; ++code) {
        if (code != 112 && code != 27) {
            script << f << " keydown " << code << "\n" << f + 3 << " keyup " << code << "\n";
            f += 4;
        }
    }
    script << f << " keydown 112\n" << f + 3 << " keyup 112\n";
    f += 4;
    std::int64_t mouseFrom = f;
    for (int i = 0; i < 300; ++i) { // in the free camera, which C switched on
        script << f++ << " mousemove " << below(65536) << " " << below(65536) << "\n";
    }
    script << f + 5 << " close\n";
    // In its own folder: F12 among the keys writes a picture there.
    CaptureRun run = runCapture(scratchDir("storm"),
                                "--frames " + std::to_string(f + 105) + " --size 64x32 --check-gl",
                                script.str(), true);
    // The close is dispatched on its own turn, the quit message on the next.
    expectCleanRun(run, f + 6);

    for (std::size_t i = 0; i < run.trace.size(); ++i) {
        // The trace writes a non-finite number as the string "nan", "inf" or "-inf".
        EXPECT_TRUE(run.lines[i].find("\"nan\"") == std::string::npos &&
                    run.lines[i].find("inf\"") == std::string::npos)
            << run.lines[i];
        double divisor = run.trace[i]["speedDivisor"].get<double>();
        EXPECT_TRUE(divisor >= 1 && divisor <= 10 && divisor == std::floor(divisor))
            << run.lines[i];
    }
    // The storm reached the loop: the keys toggled C, P and F1, the arrows moved the eye, the
    // mouse turned the free camera.
    const nlohmann::json& before = run.trace[keysFrom - 2];
    const nlohmann::json& after = run.trace[mouseFrom - 2];
    EXPECT_TRUE(after["freeCamera"].get<bool>() && after["showPath"].get<bool>() &&
                after["aboutVisible"].get<bool>());
    EXPECT_NE(before["eye"], after["eye"]);
    EXPECT_NE(after["direction"], run.trace.back()["direction"]);
}

TEST(CheckGl, AnErrorBesidesTheTorusOneEndsTheRunWithStatus3) {
    std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
    // A preloaded library comes before the sanitizer runtime; that order is intended here.
    setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);
    setenv("LD_PRELOAD", VELMORA_GL_FAULT, 1);
    // Through the GL's debug output, then (the extension hidden) through glGetError alone.
    for (auto [hidden, way] : {std::pair{"", "through the GL's debug output"},
                               std::pair{"-GL_KHR_debug", "read with glGetError once per frame"}}) {
        setenv("MESA_EXTENSION_OVERRIDE", hidden, 1);
        CaptureRun run = runCapture(scratchDir("fault"), "--frames 20 --size 64x32 --check-gl");
        EXPECT_EQ(run.status, 3) << run.stderrText;
        for (const char* line : {"velmora-capture: GL error in turn 1: GL_INVALID_ENUM",
                                 "check-gl: 1 unexpected GL errors", way}) {
            EXPECT_NE(run.stderrText.find(line), std::string::npos) << run.stderrText;
        }
        EXPECT_EQ(run.trace.size(), 1u) << "the run ends after the turn with the error";
    }
    unsetenv("MESA_EXTENSION_OVERRIDE");
    unsetenv("LD_PRELOAD");
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
}

// Any invalid read or write, undefined behaviour or leak (beyond the driver's own,
// tests/support/lsan.supp) fails this run in a sanitizer build.
TEST(MemoryRun, ThreeHundredTurnsRunClean) {
    expectCleanRun(runCapture(scratchDir("memory"), "--frames 300 --size 200x100 --check-gl",
                              "100 keydown 80\n103 keyup 80\n150 keydown 112\n153 keyup 112\n"
                              "200 resize 120 90\n"),
                   300);
}

} // namespace
