#include "app/data_dir.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

std::vector<std::string> dataDirPlaces(const std::string& executable) {
    std::vector<std::string> places = {"data", VELMORA_INSTALLED_DATA};
    if (executable.empty()) {
        return places;
    }
    const fs::path bin = fs::path(executable).parent_path();
    for (const fs::path& place : {bin / VELMORA_DATA_FROM_BIN, bin / "data"}) {
        std::string name = place.lexically_normal().string();
        if (std::find(places.begin(), places.end(), name) == places.end()) {
            places.push_back(std::move(name));
        }
    }
    return places;
}

DataDir chooseDataDir(const std::vector<std::string>& places, const std::string& program) {
    std::error_code error;
    for (const std::string& place : places) {
        if (fs::is_directory(place, error)) {
            return {place + "/", ""};
        }
    }
    std::string searched = program + ": looked for the models in";
    for (const std::string& place : places) {
        searched += (&place == &places.front() ? " " : ", ") + place;
        if (fs::path(place).is_relative()) {
            searched += "/ (working directory)";
        }
    }
    return {"data/", searched + "\n"};
}

DataDir findDataDir() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return chooseDataDir(dataDirPlaces(executable.string()),
                         executable.empty() ? "velmora" : executable.filename().string());
}
