// Feeds arbitrary text to the OBJ and MTL readers in-process, then prepares the model as the
// demo does and checks that nothing undefined came out: every index in range, every number
// finite. An input is OBJ text, optionally followed by a line "#MTL" and the text every
// material library the OBJ names reads as.
#include "model/glm.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Every library the model names is the input's library part (the context), when it has one.
bool serveLibrary(void* context, const char*, std::string* contents) {
    const auto* library = static_cast<const std::string_view*>(context);
    if (library != nullptr) {
        contents->assign(library->data(), library->size());
    }
    return library != nullptr;
}

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_model_reader: %s\n", what);
        std::abort();
    }
}

// Elements 1 to count, as every list of the model numbers them.
void checkFinite(const Vec3* list, std::uint32_t count, const char* what) {
    for (std::uint32_t i = 1; i <= count; ++i) {
        check(std::isfinite(list[i].x) && std::isfinite(list[i].y) && std::isfinite(list[i].z),
              what);
    }
}

void checkModel(GlmModel* m) {
    std::uint64_t grouped = 0;
    for (GlmGroup* g = m->groups; g != nullptr; g = g->next) {
        grouped += g->triangleCount;
        for (std::uint32_t i = 0; i < g->triangleCount; ++i) {
            check(g->triangles[i] < m->triangleCount, "group member out of range");
        }
        check(g->material == 0 || g->material < m->materialCount, "group material out of range");
    }
    check(grouped == m->triangleCount, "groups do not add up to the triangles");
    for (std::uint32_t t = 0; t < m->triangleCount; ++t) {
        const GlmTriangle& tri = m->triangles[t];
        for (int s = 0; s < 3; ++s) {
            check(tri.vertexIndex[s] >= 1 && tri.vertexIndex[s] <= m->vertexCount,
                  "vertex index out of range");
            check(tri.texCoordIndex[s] <= m->texCoordCount, "texture index out of range");
            check(tri.normalIndex[s] <= m->normalCount, "normal index out of range");
        }
    }
    checkFinite(m->vertices, m->vertexCount, "vertex not finite");

    glmScaleToUnit(m);
    glmFacetNormals(m);
    glmVertexNormals(m, 90.0f);
    checkFinite(m->vertices, m->vertexCount, "scaled vertex not finite");
    checkFinite(m->facetNormals, m->facetNormalCount, "facet normal not finite");
    check(m->normalCount <= 3ull * m->triangleCount, "more normals than corners");
    checkFinite(m->normals, m->normalCount, "normal not finite");
    for (std::uint32_t t = 0; t < m->triangleCount; ++t) {
        for (int s = 0; s < 3; ++s) {
            std::uint32_t n = m->triangles[t].normalIndex[s];
            check(n >= 1 && n <= m->normalCount, "prepared normal index out of range");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    glmSetMessageSink([](void*, GlmStream, const char*) {});
    glmSetFileSource(serveLibrary);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view obj = input;
    std::string_view library;
    std::size_t split = input.find("\n#MTL\n");
    if (split != std::string_view::npos) {
        obj = input.substr(0, split + 1);
        library = input.substr(split + 6);
    }
    glmSetFileSource(serveLibrary, split != std::string_view::npos ? &library : nullptr);
    GlmModel* model = nullptr;
    try {
        model = glmReadOBJFromMemory("fuzz/model.obj", obj.data(), obj.size());
        checkModel(model);
    } catch (const GlmFatalError& error) {
        // A fatal error must carry a message ending in its line end.
        std::string_view text = error.what();
        check(!text.empty() && text.back() == '\n', "fatal message without line end");
    }
    glmDeleteModel(model);
    glmSetFileSource(serveLibrary); // the context was this input's
    return 0;
}
