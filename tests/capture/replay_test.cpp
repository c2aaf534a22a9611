// The loop's behaviour held fixed: six recorded input scripts (keys, mouse, resize, close,
// Escape, a storm) replayed through velmora-capture must give byte-identical traces, and the
// first 300 turns of two of them pixel-identical frames, as recorded in replay/NAME.expected.
// After an intended change, `VELMORA_UPDATE_REPLAY=1 ctest -R Replay` records them anew.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::uint64_t fnv1a(const unsigned char* data, std::size_t size,
                    std::uint64_t hash = 0xcbf29ce484222325ull) {
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 0x100000001b3ull;
    }
    return hash;
}

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string readFile(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct Replay {
    const char* name;
    bool frames;
};

class Replays : public testing::TestWithParam<Replay> {};

TEST_P(Replays, GiveTheRecordedTraceAndFrames) {
    const Replay& replay = GetParam();
    const fs::path source = fs::path(VELMORA_SOURCE_DIR) / "tests" / "capture" / "replay";
    const fs::path dir =
        fs::temp_directory_path() / ("velmora-replay-" + std::to_string(getpid())) / replay.name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string script = (source / (std::string(replay.name) + ".txt")).string();

    std::string command = std::string(VELMORA_CAPTURE) + " --frames 700 --script " + script +
                          " --trace " + (dir / "trace.jsonl").string();
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
    const std::string trace = readFile(dir / "trace.jsonl");
    std::string actual =
        "trace " + hex(fnv1a(reinterpret_cast<const unsigned char*>(trace.data()), trace.size())) +
        "\n";

    if (replay.frames) {
        command = std::string(VELMORA_CAPTURE) + " --frames 300 --every 1 --script " + script +
                  " --out " + (dir / "frames").string();
        raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;
        for (int turn = 1; turn <= 300; ++turn) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06d.png", turn);
            int width = 0;
            int height = 0;
            int channels = 0;
            unsigned char* rgb =
                stbi_load((dir / "frames" / name).c_str(), &width, &height, &channels, 3);
            ASSERT_NE(rgb, nullptr) << name;
            actual += std::string(name) + " " + std::to_string(width) + "x" +
                      std::to_string(height) + " " +
                      hex(fnv1a(rgb, static_cast<std::size_t>(width) * height * 3)) + "\n";
            stbi_image_free(rgb);
        }
    }
    const fs::path expectedPath = source / (std::string(replay.name) + ".expected");
    if (std::getenv("VELMORA_UPDATE_REPLAY") != nullptr) {
        std::ofstream(expectedPath, std::ios::binary) << actual;
    }
    const std::string expected = readFile(expectedPath);
    ASSERT_FALSE(expected.empty()) << "missing " << expectedPath;
    if (actual != expected) {
        std::ofstream(dir / "actual.expected", std::ios::binary) << actual;
        // The first line that differs says whether the trace or which frame changed.
        std::istringstream a(actual);
        std::istringstream e(expected);
        for (std::string al, el; std::getline(e, el);) {
            std::getline(a, al);
            ASSERT_EQ(al, el) << "replay " << replay.name << " differs; all of it in "
                              << dir / "actual.expected";
        }
        FAIL() << "replay " << replay.name << " has more lines than recorded";
    }
    fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Capture, Replays,
                         testing::Values(Replay{"keys", true}, Replay{"mouse", false},
                                         Replay{"resize", false}, Replay{"close", false},
                                         Replay{"escape", false}, Replay{"storm", true}),
                         [](const testing::TestParamInfo<Replay>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
