// velmora-capture run as a user runs it, for the tests of the real loop: the exit status, the
// trace (one JSON object a turn), standard error, and the PNG frames it wrote.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct CaptureRun {
    int status = -1;
    std::vector<std::string> lines;
    std::vector<nlohmann::json> trace;
    std::string stderrText;
};

// A fresh, empty folder for one run, under the temporary directory.
std::filesystem::path scratchDir(const std::string& name);
// velmora-capture ARGUMENTS --trace DIR/trace.jsonl, with SCRIPT (when not empty) written to
// DIR/script.txt and passed as --script; run in DIR when `inDir` (with data/ linked there).
CaptureRun runCapture(const std::filesystem::path& dir, const std::string& arguments,
                      const std::string& script = "", bool inDir = false);

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
};

// Top row first; empty when the file is not a picture.
Picture loadPicture(const std::filesystem::path& path);
// DIR/frames/frame-NNNNNN.png: where --out DIR/frames puts the frame of turn TURN.
std::filesystem::path framePath(const std::filesystem::path& dir, std::size_t turn);
// The whole file; empty when it can't be read.
std::string readFile(const std::filesystem::path& path);
// FNV-1a, 64 bits, continued from `hash`.
std::uint64_t fnv1a(const unsigned char* data, std::size_t size,
                    std::uint64_t hash = 0xcbf29ce484222325ull);
