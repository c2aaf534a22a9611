// The real loop through velmora-capture under hostile input and under the memory checkers: a
// scripted storm of resizes, mouse jumps and every key code, and a 300-turn run that, in a
// sanitizer build, is the AddressSanitizer/LeakSanitizer run of the tool.
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The trace writes a non-finite number as the string "nan", "inf" or "-inf"; the only strings
// it otherwise holds are the status texts.
void expectAllFinite(const nlohmann::json& value, const std::string& where) {
    if (value.is_number_float()) {
        EXPECT_TRUE(std::isfinite(value.get<double>())) << where;
    } else if (value.is_string()) {
        std::string s = value.get<std::string>();
        EXPECT_TRUE(s != "nan" && s != "inf" && s != "-inf") << where << " is " << s;
    } else if (value.is_array() || value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (value.is_object() && it.key() == "status") {
                continue;
            }
            expectAllFinite(*it, where + "." + (value.is_object() ? it.key() : "[]"));
        }
    }
}

std::string speedText(double divisor) {
    char text[64];
    std::snprintf(text, sizeof text, "Speed: %f", 1.0 / divisor);
    return text;
}

void expectNoSanitizerReport(const CaptureRun& run) {
    for (const char* marker : {"AddressSanitizer", "LeakSanitizer", "runtime error:"}) {
        EXPECT_EQ(run.stderrText.find(marker), std::string::npos) << run.stderrText;
    }
}

// A generator of the test's own, so the script is the same on every run and every machine.
struct ScriptRandom {
    std::uint32_t state = 20261206;
    int below(int n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
    }
};

TEST(InputStorm, ResizesMouseJumpsAndEveryKeyLeaveNoNaNAndTheRightTexts) {
    ScriptRandom random;
    std::ostringstream script;
    std::map<std::int64_t, std::string> sizeTextFrom; // turn -> size text expected from then
    std::int64_t f = 1;

    // 1,000 resizes of random sizes, among them zero widths, zero heights and both at once,
    // each followed by a mouse move anywhere in the 16-bit range.
    for (int i = 0; i < 1000; ++i) {
        int w = random.below(321);
        int h = random.below(241);
        if (i % 7 == 3) {
            w = 0;
        }
        if (i % 11 == 5) {
            h = 0;
        }
        script << f << " resize " << w << " " << h << "\n";
        script << f + 1 << " mousemove " << random.below(65536) << " " << random.below(65536)
               << "\n";
        sizeTextFrom[f] = std::to_string(w) + " x " + std::to_string(h < 1 ? 1 : h);
        f += 3;
    }
    std::int64_t keysFrom = f;
    // Every key code down and up, each held over an idle turn so that the loop acts on it:
    // arrows move the camera, C and P toggle, the keypad keys change the speed. Escape is
    // pressed and released with no idle turn between, so it never ends the run; F1 goes last,
    // since the About panel it shows takes the keyboard.
    for (int code = 0; code < 256; ++code) {
        if (code == 112) {
            continue;
        }
        if (code == 27) {
            script << f << " keydown 27\n" << f << " keyup 27\n";
            f += 4;
            continue;
        }
        script << f << " keydown " << code << "\n" << f + 3 << " keyup " << code << "\n";
        f += 4;
    }
    script << f << " keydown 112\n" << f + 3 << " keyup 112\n";
    f += 4;
    std::int64_t mouseFrom = f;
    // Mouse jumps of thousands of pixels in the free camera (C above switched it on).
    for (int i = 0; i < 300; ++i) {
        script << f++ << " mousemove " << random.below(65536) << " " << random.below(65536) << "\n";
    }
    std::int64_t closeAt = f + 5;
    script << closeAt << " close\n";

    fs::path dir = scratchDir("storm");
    CaptureRun run =
        runCapture(dir, "--frames " + std::to_string(closeAt + 100) + " --size 64x32 --check-gl",
                   script.str());
    ASSERT_EQ(run.status, 0) << run.stderrText;
    expectNoSanitizerReport(run);
    // The close is dispatched on its own turn, the quit message on the next.
    ASSERT_EQ(run.trace.size(), static_cast<std::size_t>(closeAt + 1));

    const std::regex fps("FPS: [0-9]+ Secs: [0-9]+");
    std::string sizeText = "64 x 32";
    int speedTexts = 0;
    for (std::size_t i = 0; i < run.trace.size(); ++i) {
        const nlohmann::json& turn = run.trace[i];
        std::int64_t frame = turn["frame"].get<std::int64_t>();
        ASSERT_EQ(frame, static_cast<std::int64_t>(i) + 1);
        expectAllFinite(turn, "turn " + std::to_string(frame));
        EXPECT_EQ(run.lines[i].find("\"nan\""), std::string::npos) << run.lines[i];
        EXPECT_EQ(run.lines[i].find("inf\""), std::string::npos) << run.lines[i];

        // The size text names the latest resize, its height corrected to at least 1; each
        // resize is dispatched on the turn it is queued for.
        if (auto at = sizeTextFrom.find(frame); at != sizeTextFrom.end()) {
            sizeText = at->second;
        }
        EXPECT_EQ(turn["status"][1], sizeText) << "turn " << frame;

        // Part 0 holds the speed of the current divisor; a bar re-created by a resize leaves it
        // empty until a speed key writes it again (the keypad keys below, after the last resize).
        double divisor = turn["speedDivisor"].get<double>();
        EXPECT_TRUE(divisor >= 1.0 && divisor <= 10.0 && divisor == std::floor(divisor))
            << "turn " << frame << ": divisor " << divisor;
        std::string part0 = turn["status"][0].get<std::string>();
        if (part0.empty() && frame < mouseFrom) {
            EXPECT_FALSE(sizeTextFrom.empty() || frame < sizeTextFrom.begin()->first)
                << "turn " << frame << ": no resize yet, the speed text must show";
        } else {
            EXPECT_EQ(part0, speedText(divisor)) << "turn " << frame;
            ++speedTexts;
        }
        EXPECT_TRUE(std::regex_match(turn["status"][2].get<std::string>(), fps))
            << "turn " << frame << ": " << turn["status"][2];
    }
    EXPECT_GT(speedTexts, 0);

    // The storm did reach the loop: the keys toggled what they toggle, the speed keys moved the
    // divisor, the About panel opened and the mouse turned the free camera.
    const nlohmann::json& beforeKeys = run.trace[keysFrom - 2];
    const nlohmann::json& afterKeys = run.trace[mouseFrom - 2];
    EXPECT_FALSE(beforeKeys["freeCamera"].get<bool>());
    EXPECT_TRUE(afterKeys["freeCamera"].get<bool>());
    EXPECT_TRUE(afterKeys["showPath"].get<bool>());
    EXPECT_TRUE(afterKeys["aboutVisible"].get<bool>());
    EXPECT_NE(beforeKeys["eye"], afterKeys["eye"]) << "the arrow keys moved the eye";
    EXPECT_NE(afterKeys["direction"], run.trace.back()["direction"]);
    bool sawSpeedChange = false;
    for (std::int64_t t = keysFrom; t < mouseFrom; ++t) {
        sawSpeedChange = sawSpeedChange || run.trace[t]["speedDivisor"] != 5.0;
    }
    EXPECT_TRUE(sawSpeedChange);
    EXPECT_NE(run.stderrText.find("check-gl: 0 unexpected GL errors"), std::string::npos)
        << run.stderrText;
}

TEST(CheckGl, AnErrorBesidesTheTorusOneEndsTheRunWithStatus3) {
    fs::path dir = scratchDir("fault");
    std::string asan = std::getenv("ASAN_OPTIONS") != nullptr ? std::getenv("ASAN_OPTIONS") : "";
    // A preloaded library comes before the sanitizer runtime; that order is intended here.
    setenv("ASAN_OPTIONS", (asan + ":verify_asan_link_order=0").c_str(), 1);
    setenv("LD_PRELOAD", VELMORA_GL_FAULT, 1);
    CaptureRun run = runCapture(dir, "--frames 20 --size 64x32 --check-gl");
    unsetenv("LD_PRELOAD");
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
    EXPECT_EQ(run.status, 3) << run.stderrText;
    EXPECT_NE(run.stderrText.find("velmora-capture: GL error in turn 1: GL_INVALID_ENUM"),
              std::string::npos)
        << run.stderrText;
    EXPECT_NE(run.stderrText.find("check-gl: 1 unexpected GL errors"), std::string::npos)
        << run.stderrText;
    EXPECT_EQ(run.trace.size(), 1u) << "the run ends after the turn with the error";
}

// 300 turns of the tool. In a sanitizer build this is the ASan/LSan/UBSan run: any invalid read
// or write, undefined behaviour or leak (beyond the driver's own, tests/support/lsan.supp) fails
// it.
TEST(MemoryRun, ThreeHundredTurnsRunClean) {
    fs::path dir = scratchDir("memory");
    CaptureRun run = runCapture(dir, "--frames 300 --size 200x100 --check-gl",
                                "100 keydown 80\n103 keyup 80\n150 keydown 112\n153 keyup 112\n"
                                "200 resize 120 90\n");
    ASSERT_EQ(run.status, 0) << run.stderrText;
    expectNoSanitizerReport(run);
    ASSERT_EQ(run.trace.size(), 300u);
    EXPECT_NE(run.stderrText.find("check-gl: 0 unexpected GL errors"), std::string::npos)
        << run.stderrText;
}

} // namespace
