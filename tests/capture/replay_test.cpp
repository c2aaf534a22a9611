// The loop's behaviour held fixed: six recorded input scripts (keys, mouse, resize, close,
// Escape, a storm) replayed through velmora-capture must give byte-identical traces, and the
// first 300 turns of two of them pixel-identical frames, as recorded in replay/NAME.expected.
// After an intended change, `VELMORA_UPDATE_REPLAY=1 ctest -R Replay` records them anew.
// A frame line may list more than one hash: where the storm puts the camera inside a model,
// llvmpipe clips the triangles that cross the near plane with rounding that differs between
// CPUs, so each CPU's picture seen so far is recorded beside the others (a new recording holds
// this CPU's alone).
#include "tests/support/capture_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The actual line is "NAME... HASH"; the expected one is the same names, then one or more hashes.
bool matches(const std::string& actual, const std::string& expected) {
    const std::size_t cut = actual.rfind(' ') + 1;
    if (expected.compare(0, cut, actual, 0, cut) != 0) {
        return false;
    }
    std::istringstream hashes(expected.substr(cut));
    for (std::string hash; hashes >> hash;) {
        if (hash == actual.substr(cut)) {
            return true;
        }
    }
    return false;
}

// A script's name, and whether its frames are recorded too.
using Replay = std::pair<std::string, bool>;

class Replays : public testing::TestWithParam<Replay> {};

TEST_P(Replays, GiveTheRecordedTraceAndFrames) {
    const auto& [name, frames] = GetParam();
    const fs::path source = fs::path(VELMORA_SOURCE_DIR) / "tests" / "capture" / "replay";
    const fs::path dir = scratchDir("replay-" + name);
    const std::string script = " --script " + (source / (name + ".txt")).string();

    CaptureRun run = runCapture(dir, "--frames 700" + script);
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const std::string trace = readFile(dir / "trace.jsonl");
    std::string actual =
        "trace " + hex(fnv1a(reinterpret_cast<const unsigned char*>(trace.data()), trace.size())) +
        "\n";

    if (frames) {
        run = runCapture(dir, "--frames 300 --every 1 --out " + (dir / "frames").string() + script);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        for (std::size_t turn = 1; turn <= 300; ++turn) {
            const fs::path path = framePath(dir, turn);
            Picture frame = loadPicture(path);
            ASSERT_FALSE(frame.rgb.empty()) << path;
            actual += path.filename().string() + " " + std::to_string(frame.width) + "x" +
                      std::to_string(frame.height) + " " +
                      hex(fnv1a(frame.rgb.data(), frame.rgb.size())) + "\n";
        }
    }
    const fs::path expectedPath = source / (name + ".expected");
    if (std::getenv("VELMORA_UPDATE_REPLAY") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << actual;
    }
    const std::string expected = readFile(expectedPath);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath;
    std::ofstream(dir / "actual.expected", std::ios::binary) << actual;
    // The first line that differs says whether the trace or which frame changed.
    std::istringstream a(actual);
    std::istringstream e(expected);
    for (std::string al, el; std::getline(e, el);) {
        std::getline(a, al);
        ASSERT_TRUE(matches(al, el))
            << "replay " << name << " differs: " << al << "\nrecorded: " << el << "\nall of it in "
            << dir / "actual.expected";
    }
    ASSERT_TRUE(a.peek() == EOF) << "replay " << name << " has more lines than recorded";
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Capture, Replays,
                         testing::Values(Replay{"keys", true}, Replay{"mouse", false},
                                         Replay{"resize", false}, Replay{"close", false},
                                         Replay{"escape", false}, Replay{"storm", true}),
                         [](const auto& info) { return info.param.first; });

} // namespace
