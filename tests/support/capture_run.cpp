#include "tests/support/capture_run.h"

#include <stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

fs::path scratchDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("velmora-test-" + std::to_string(getpid())) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

CaptureRun runCapture(const fs::path& dir, const std::string& arguments, const std::string& script,
                      bool inDir) {
    std::string command = std::string(VELMORA_CAPTURE) + " " + arguments;
    if (inDir) {
        fs::create_directory_symlink(VELMORA_SOURCE_DIR "/data", dir / "data");
        command = "cd " + dir.string() + " && " + command;
    }
    if (!script.empty()) {
        std::ofstream(dir / "script.txt") << script;
        command += " --script " + (dir / "script.txt").string();
    }
    command += " --trace " + (dir / "trace.jsonl").string() + " 2>" + (dir / "stderr.txt").string();
    CaptureRun run;
    int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream trace(dir / "trace.jsonl");
    for (std::string line; std::getline(trace, line);) {
        run.lines.push_back(line);
        run.trace.push_back(nlohmann::json::parse(line));
    }
    run.stderrText = readFile(dir / "stderr.txt");
    return run;
}

Picture loadPicture(const fs::path& path) {
    Picture p;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &channels, 3);
    if (data != nullptr) {
        p.rgb.assign(data, data + static_cast<std::size_t>(p.width) * p.height * 3);
        stbi_image_free(data);
    }
    return p;
}

fs::path framePath(const fs::path& dir, std::size_t turn) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06zu.png", turn);
    return dir / "frames" / name;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint64_t fnv1a(const unsigned char* data, std::size_t size, std::uint64_t hash) {
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ data[i]) * 0x100000001b3ull;
    }
    return hash;
}
