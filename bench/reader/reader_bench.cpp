// Loading speed against tinyobjloader on one generated OBJ file (positions, normals and
// "f a//b" quads, at least 1,000,000 triangles), measured side by side in one run, and the
// smoothing's time per corner at 200,000 and 2,000,000 triangles. Prints both ratios at the end.
#include "model/glm.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <tiny_obj_loader.h>
#include <unistd.h>

namespace {

// A wavy sheet of side x side quads, with one normal per vertex.
std::string gridObj(int side) {
    std::string text;
    text.reserve(static_cast<std::size_t>(side + 1) * (side + 1) * 64 +
                 static_cast<std::size_t>(side) * side * 48);
    char line[160];
    for (int j = 0; j <= side; ++j) {
        for (int i = 0; i <= side; ++i) {
            float x = static_cast<float>(i) / side, y = static_cast<float>(j) / side;
            float z = 0.05f * std::sin(12.0f * x) * std::cos(9.0f * y);
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", x, y, z);
            text += line;
        }
    }
    for (int j = 0; j <= side; ++j) {
        for (int i = 0; i <= side; ++i) {
            std::snprintf(line, sizeof line, "vn %.6f %.6f %.6f\n", 0.1f * std::sin(i * 0.1f),
                          0.1f * std::cos(j * 0.1f), 0.99f);
            text += line;
        }
    }
    text += "g sheet\n";
    for (int j = 0; j < side; ++j) {
        for (int i = 0; i < side; ++i) {
            int a = j * (side + 1) + i + 1, b = a + 1, c = b + side + 1, d = a + side + 1;
            std::snprintf(line, sizeof line, "f %d//%d %d//%d %d//%d %d//%d\n", a, a, b, b, c, c, d,
                          d);
            text += line;
        }
    }
    return text;
}

int sideFor(long triangles) {
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(triangles) / 2.0)));
}

struct LoadFile {
    std::string path;
    std::size_t bytes = 0;
    long triangles = 0;
    LoadFile() {
        int side = sideFor(1000000);
        std::string text = gridObj(side);
        bytes = text.size();
        triangles = 2L * side * side;
        path = (std::filesystem::temp_directory_path() /
                ("velmora-bench-" + std::to_string(::getpid()) + ".obj"))
                   .string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
            std::fprintf(stderr, "bench_reader: cannot write %s\n", path.c_str());
            std::exit(1);
        }
        std::fclose(f);
    }
    ~LoadFile() { std::remove(path.c_str()); }
};

LoadFile& loadFile() {
    static LoadFile file;
    return file;
}

void setCounters(benchmark::State& state, std::size_t bytes, long triangles) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_LoadVelmora(benchmark::State& state) {
    LoadFile& file = loadFile();
    for (auto _ : state) {
        GlmModel* model = glmReadOBJ(file.path.c_str());
        if (model->triangleCount != static_cast<std::uint32_t>(file.triangles)) {
            state.SkipWithError("wrong triangle count");
        }
        benchmark::DoNotOptimize(model->vertices);
        glmDeleteModel(model);
    }
    setCounters(state, file.bytes, file.triangles);
}

void BM_LoadTinyObjLoader(benchmark::State& state) {
    LoadFile& file = loadFile();
    for (auto _ : state) {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        bool ok = tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, file.path.c_str(),
                                   nullptr, true);
        std::size_t corners = 0;
        for (const auto& s : shapes) {
            corners += s.mesh.indices.size();
        }
        if (!ok || corners != static_cast<std::size_t>(3 * file.triangles)) {
            state.SkipWithError("tinyobjloader failed");
        }
        benchmark::DoNotOptimize(attrib.vertices.data());
    }
    setCounters(state, file.bytes, file.triangles);
}

void BM_VertexNormals(benchmark::State& state) {
    int side = sideFor(state.range(0));
    std::string text = gridObj(side);
    GlmModel* model = glmReadOBJFromMemory("grid.obj", text.data(), text.size());
    glmScaleToUnit(model);
    glmFacetNormals(model);
    for (auto _ : state) {
        glmVertexNormals(model, 90.0f);
        benchmark::DoNotOptimize(model->normals);
    }
    state.counters["triangles"] = model->triangleCount;
    state.counters["ns_per_corner"] =
        benchmark::Counter(3.0 * model->triangleCount * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    glmDeleteModel(model);
}

BENCHMARK(BM_LoadVelmora)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_LoadTinyObjLoader)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_VertexNormals)
    ->Arg(200000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime();

// Keeps each run's real time per iteration (and the per-corner rate) for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            seconds[run.benchmark_name()] =
                run.real_accumulated_time / static_cast<double>(run.iterations);
            auto it = run.counters.find("triangles");
            if (it != run.counters.end()) {
                triangles[run.benchmark_name()] = it->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
    std::map<std::string, double> triangles;
};

} // namespace

int main(int argc, char** argv) {
    glmSetMessageSink([](GlmStream, const char*) {});
    benchmark::Initialize(&argc, argv);
    // Warm-up: write the file and load it once each way, so both start from the page cache.
    {
        LoadFile& file = loadFile();
        glmDeleteModel(glmReadOBJ(file.path.c_str()));
        std::printf("Generated %s: %.1f MB, %ld triangles\n", file.path.c_str(), file.bytes / 1e6,
                    file.triangles);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Run names carry their options ("BM_LoadVelmora/min_time:3.000/real_time"): match the
    // leading part.
    auto find = [&](const std::string& prefix, double* seconds, double* triangles) {
        for (const auto& [name, value] : reporter.seconds) {
            if (name.rfind(prefix, 0) == 0) {
                *seconds = value;
                *triangles = reporter.triangles[name];
                return true;
            }
        }
        return false;
    };
    int status = 0;
    double ours = 0, theirs = 0, small = 0, large = 0, smallTriangles = 0, largeTriangles = 0,
           n = 0;
    if (find("BM_LoadVelmora", &ours, &n) && find("BM_LoadTinyObjLoader", &theirs, &n)) {
        double ratio = theirs / ours;
        std::printf("Reader throughput vs tinyobjloader: %.2fx (bar: at least 4x) %s\n", ratio,
                    ratio >= 4.0 ? "PASS" : "FAIL");
        status |= ratio >= 4.0 ? 0 : 1;
    }
    if (find("BM_VertexNormals/200000/", &small, &smallTriangles) &&
        find("BM_VertexNormals/2000000/", &large, &largeTriangles)) {
        double perSmall = small / (3.0 * smallTriangles);
        double perLarge = large / (3.0 * largeTriangles);
        double ratio = perLarge / perSmall;
        std::printf("Smoothing time per corner: %.2f ns at %.0f triangles, %.2f ns at %.0f "
                    "triangles: ratio %.2f (bar: at most 1.30) %s\n",
                    perSmall * 1e9, smallTriangles, perLarge * 1e9, largeTriangles, ratio,
                    ratio <= 1.3 ? "PASS" : "FAIL");
        status |= ratio <= 1.3 ? 0 : 2;
    }
    benchmark::Shutdown();
    return status;
}
