// velmora-capture run as a user runs it, for the tests of the real loop: the exit status, the
// trace (one JSON object a turn), standard error, and the PNG frames it wrote.
#pragma once

#include <nlohmann/json.hpp>

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
