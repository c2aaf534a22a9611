// The five model files the demo loads: they read without a notice, closed ones are closed and
// wound clockwise as seen from outside, and the committed files are what the generator writes.
#include "toon/toon_model.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <ostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct DataFile {
    const char* name;
    bool closed;
};

const DataFile dataFiles[] = {
    {"spaceship", true}, {"deathstar", true}, {"lego", true}, {"surface", true}, {"torus", true}};

std::string notices;

void captureNotice(GlmStream stream, const char* text) {
    notices += stream == GlmStream::Err ? "stderr: " : "stdout: ";
    notices += text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string dataPath(const std::string& name, const char* extension) {
    return std::string(VELMORA_SOURCE_DIR) + "/data/" + name + extension;
}

// Loads through ToonModel::load, as the scene does, from the working directory the demo uses.
struct LoadedModel {
    ToonModel toon{};
    explicit LoadedModel(const char* name) {
        notices.clear();
        glmSetMessageSink(captureNotice);
        std::string path = std::string("data/") + name + ".obj";
        toon.load(path.c_str());
        glmSetMessageSink(nullptr);
    }
    ~LoadedModel() { glmDeleteModel(toon.model); }
};

void PrintTo(const DataFile& file, std::ostream* out) {
    *out << file.name;
}

class DataModel : public ::testing::TestWithParam<DataFile> {};

TEST_P(DataModel, LoadsWithoutANotice) {
    LoadedModel loaded(GetParam().name);
    EXPECT_EQ(notices, "");
    const GlmModel* model = loaded.toon.model;
    EXPECT_GT(model->triangleCount, 1000u);
    ASSERT_NE(model->materialLibrary, nullptr);
    EXPECT_GT(model->materialCount, 1u);
    EXPECT_GT(model->groupCount, 1u);
}

TEST_P(DataModel, IsCentredSoThatItScalesToFullSize) {
    LoadedModel loaded(GetParam().name);
    const GlmModel* model = loaded.toon.model;
    Vec3 lo = model->vertices[1];
    Vec3 hi = lo;
    for (std::uint32_t i = 1; i <= model->vertexCount; ++i) {
        const Vec3& v = model->vertices[i];
        lo = Vec3{std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = Vec3{std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    float extent = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
    EXPECT_NEAR(extent, 2.0f, 1e-4f);
}

TEST_P(DataModel, WindsClockwiseSeenFromOutside) {
    LoadedModel loaded(GetParam().name);
    const GlmModel* model = loaded.toon.model;
    if (GetParam().closed) {
        EXPECT_EQ(glmWinding(model), GlmWinding::Clockwise);
    } else {
        // The open patch is seen from above: every facet normal, which points towards the side
        // from which the corners run counter-clockwise, must point down.
        for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
            const Vec3& n = model->facetNormals[model->triangles[t].facetNormalIndex];
            ASSERT_LT(n.y, 0.0f) << "triangle " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFive, DataModel, ::testing::ValuesIn(dataFiles),
                         [](const ::testing::TestParamInfo<DataFile>& info) {
                             return std::string(info.param.name);
                         });

TEST(DataFiles, UseEveryFaceFormatOfTheReader) {
    std::string all;
    for (const DataFile& file : dataFiles) {
        all += readFile(dataPath(file.name, ".obj"));
    }
    EXPECT_TRUE(std::regex_search(all, std::regex("\nf \\d+ \\d+ \\d+\n")));
    EXPECT_TRUE(std::regex_search(all, std::regex("\nf \\d+/\\d+ \\d+/\\d+ \\d+/\\d+\n")));
    EXPECT_TRUE(std::regex_search(all, std::regex("\nf \\d+//\\d+ \\d+//\\d+ \\d+//\\d+\n")));
    EXPECT_TRUE(
        std::regex_search(all, std::regex("\nf \\d+/\\d+/\\d+ \\d+/\\d+/\\d+ \\d+/\\d+/\\d+\n")));
}

TEST(DataFiles, SceneStaysWithinItsTriangleBudget) {
    std::uint32_t perFrame = 0;
    for (const DataFile& file : dataFiles) {
        LoadedModel loaded(file.name);
        std::uint32_t n = loaded.toon.model->triangleCount;
        // The lego brick is drawn three times per frame.
        perFrame += std::string(file.name) == "lego" ? 3 * n : n;
    }
    EXPECT_LE(perFrame, 40000u);
}

TEST(DataFiles, GeneratorWritesTheCommittedFilesByteForByte) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("velmora-modelgen-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string command = std::string(VELMORA_MODELGEN) + " " + dir.string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const DataFile& file : dataFiles) {
        for (const char* extension : {".obj", ".mtl"}) {
            SCOPED_TRACE(std::string(file.name) + extension);
            std::string fresh = readFile((dir / (std::string(file.name) + extension)).string());
            EXPECT_FALSE(fresh.empty());
            EXPECT_TRUE(fresh == readFile(dataPath(file.name, extension)))
                << "data/ is stale: run velmora-modelgen data";
        }
    }
    fs::remove_all(dir);
}

} // namespace
