// Loading speed on two generated OBJ files, against tinyobjloader side by side in one run:
// positions, normals and "f a//b" quads (60 MB, 1,002,528 triangles), and positions, texture
// coordinates, normals and "f a/b/c" triangles, one to a line (about 100 MB). Then the
// smoothing's time per corner at 200,000 and 2,000,000 triangles. Prints the throughputs, the
// ratios and the bars at the end. VELMORA_BENCH_DIR keeps the files in that folder (to time
// velmora-objinfo on them, say); by default they go to the temporary folder and are removed.
#include "model/glm.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tiny_obj_loader.h>
#include <unistd.h>

namespace {

// A wavy sheet of side x side quads, one vertex and one normal per grid point: "f a//b" quads,
// or with a texture coordinate per point too, "f a/b/c" triangles, one to a line.
std::string gridObj(int side, bool triangles) {
    std::string text;
    text.reserve(static_cast<std::size_t>(side + 1) * (side + 1) * 100 +
                 static_cast<std::size_t>(side) * side * 140);
    char line[256];
    for (int j = 0; j <= side; ++j) {
        for (int i = 0; i <= side; ++i) {
            float x = static_cast<float>(i) / side, y = static_cast<float>(j) / side;
            float z = 0.05f * std::sin(12.0f * x) * std::cos(9.0f * y);
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", x, y, z);
            text += line;
        }
    }
    for (int j = 0; j <= side && triangles; ++j) {
        for (int i = 0; i <= side; ++i) {
            std::snprintf(line, sizeof line, "vt %.6f %.6f\n", static_cast<float>(i) / side,
                          static_cast<float>(j) / side);
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
            if (triangles) {
                std::snprintf(line, sizeof line,
                              "f %d/%d/%d %d/%d/%d %d/%d/%d\nf %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a,
                              a, b, b, b, c, c, c, a, a, a, c, c, c, d, d, d);
            } else {
                std::snprintf(line, sizeof line, "f %d//%d %d//%d %d//%d %d//%d\n", a, a, b, b, c,
                              c, d, d);
            }
            text += line;
        }
    }
    return text;
}

int sideFor(long triangles) {
    return static_cast<int>(std::ceil(std::sqrt(static_cast<double>(triangles) / 2.0)));
}

struct LoadFile {
    const char* what;
    std::string path;
    std::size_t bytes = 0;
    long triangles = 0;
    const char* keep = std::getenv("VELMORA_BENCH_DIR");
    LoadFile(const char* what_, const char* name, int side, bool triangles_)
        : what(what_), triangles(2L * side * side) {
        std::string text = gridObj(side, triangles_);
        bytes = text.size();
        path = keep != nullptr ? std::string(keep) + "/" + name
                               : (std::filesystem::temp_directory_path() /
                                  (std::to_string(::getpid()) + "-" + name))
                                     .string();
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
            std::fprintf(stderr, "bench_reader: cannot write %s\n", path.c_str());
            std::exit(1);
        }
        std::fclose(f);
    }
    ~LoadFile() {
        if (keep == nullptr) {
            std::remove(path.c_str());
        }
    }
};

// 0: the quads, 1: the triangles.
LoadFile& loadFile(std::int64_t which) {
    static LoadFile quads("quads", "velmora-bench-quads.obj", sideFor(1000000), false);
    static LoadFile triangles("v/vt/vn triangles", "velmora-bench-triangles.obj", 700, true);
    return which == 0 ? quads : triangles;
}

void setCounters(benchmark::State& state, const LoadFile& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes));
    state.counters["triangles"] = static_cast<double>(file.triangles);
}

void BM_LoadVelmora(benchmark::State& state) {
    LoadFile& file = loadFile(state.range(0));
    for (auto _ : state) {
        GlmModel* model = glmReadOBJ(file.path.c_str());
        if (model->triangleCount != static_cast<std::uint32_t>(file.triangles)) {
            state.SkipWithError("wrong triangle count");
        }
        benchmark::DoNotOptimize(model->vertices);
        glmDeleteModel(model);
    }
    setCounters(state, file);
}

void BM_LoadTinyObjLoader(benchmark::State& state) {
    LoadFile& file = loadFile(state.range(0));
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
    setCounters(state, file);
}

void BM_VertexNormals(benchmark::State& state) {
    int side = sideFor(state.range(0));
    std::string text = gridObj(side, false);
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

// Every run: a fixed three seconds of real time, reported in milliseconds.
void timed(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
}

BENCHMARK(BM_LoadVelmora)->Arg(0)->Arg(1)->Apply(timed);
BENCHMARK(BM_LoadTinyObjLoader)->Arg(0)->Arg(1)->Apply(timed);
BENCHMARK(BM_VertexNormals)->Arg(200000)->Arg(2000000)->Apply(timed);

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
    glmSetMessageSink([](void*, GlmStream, const char*) {});
    benchmark::Initialize(&argc, argv);
    // Warm-up: write the files and load each once, so that every load starts from the page cache.
    for (int which = 0; which < 2; ++which) {
        LoadFile& file = loadFile(which);
        glmDeleteModel(glmReadOBJ(file.path.c_str()));
        std::printf("Generated %s: %s, %.1f MB, %ld triangles\n", file.what, file.path.c_str(),
                    file.bytes / 1e6, file.triangles);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Run names carry their options ("BM_LoadVelmora/0/min_time:3.000/real_time"): match the
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
    const double bars[2] = {900.0, 750.0}; // MB/s, 1 MB = 10^6 bytes
    for (int which = 0; which < 2; ++which) {
        const LoadFile& file = loadFile(which);
        std::string run = std::to_string(which) + "/";
        double ours = 0, theirs = 0, n = 0;
        if (find("BM_LoadVelmora/" + run, &ours, &n) &&
            find("BM_LoadTinyObjLoader/" + run, &theirs, &n)) {
            double rate = file.bytes / ours / 1e6;
            bool pass = rate >= bars[which];
            std::printf("Reader on the %s (%.1f MB): %.0f MB/s, tinyobjloader %.0f MB/s, %.2fx "
                        "(bar: at least %.0f MB/s) %s\n",
                        file.what, file.bytes / 1e6, rate, file.bytes / theirs / 1e6, theirs / ours,
                        bars[which], pass ? "PASS" : "FAIL");
            status |= pass ? 0 : 1 << which;
        }
    }
    double small = 0, large = 0, smallTriangles = 0, largeTriangles = 0;
    if (find("BM_VertexNormals/200000/", &small, &smallTriangles) &&
        find("BM_VertexNormals/2000000/", &large, &largeTriangles)) {
        double perSmall = small / (3.0 * smallTriangles);
        double perLarge = large / (3.0 * largeTriangles);
        double ratio = perLarge / perSmall;
        std::printf("Smoothing time per corner: %.2f ns at %.0f triangles, %.2f ns at %.0f "
                    "triangles: ratio %.2f (bar: at most 1.30) %s\n",
                    perSmall * 1e9, smallTriangles, perLarge * 1e9, largeTriangles, ratio,
                    ratio <= 1.3 ? "PASS" : "FAIL");
        status |= ratio <= 1.3 ? 0 : 4;
    }
    if (status != 0) {
        std::string load = "unknown";
        std::getline(std::ifstream("/proc/loadavg"), load);
        std::printf("A bar was missed. The times are wall-clock times of one thread: other work on "
                    "a loaded machine shows up this way too (load average now %s).\n",
                    load.c_str());
    }
    benchmark::Shutdown();
    return status;
}
