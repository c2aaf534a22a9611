// The model record's lifetime, its groups and materials looked up by name, and the message
// sink every notice of the readers and the normals goes through.
#include "model/glm.h"

#include "model/glm_scan.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace glm_detail;

namespace {

void defaultSink(void*, GlmStream stream, const char* text) {
    std::FILE* out = stream == GlmStream::Out ? stdout : stderr;
    std::fputs(text, out);
    std::fflush(out);
}

// One sink per process: set by a program or test before reading.
GlmMessageSink messageSink = defaultSink;
void* sinkContext = nullptr;

} // namespace

void glmSetMessageSink(GlmMessageSink sink, void* context) {
    messageSink = sink != nullptr ? sink : defaultSink;
    sinkContext = context;
}

void glmNotify(GlmStream stream, const char* text) {
    messageSink(sinkContext, stream, text);
}

void glmPrintFatal(const GlmFatalError& error) {
    std::FILE* out = error.stream == GlmStream::Out ? stdout : stderr;
    std::fputs(error.what(), out);
    std::fflush(out);
}

void glmDeleteModel(GlmModel* model) {
    if (model == nullptr) {
        return;
    }
    std::free(model->path);
    std::free(model->materialLibrary);
    release(model->vertices);
    release(model->normals);
    release(model->texCoords);
    release(model->facetNormals);
    release(model->triangles);
    for (std::uint32_t i = 0; model->materials != nullptr && i < model->materialCount; ++i) {
        std::free(model->materials[i].name);
    }
    std::free(model->materials);
    GlmGroup* group = model->groups;
    while (group != nullptr) {
        GlmGroup* next = group->next;
        std::free(group->name);
        release(group->triangles);
        std::free(group);
        group = next;
    }
    std::free(model);
}

GlmGroup* glmFindGroup(GlmModel* model, const char* name) {
    for (GlmGroup* group = model->groups; group != nullptr; group = group->next) {
        if (std::strcmp(group->name, name) == 0) {
            return group;
        }
    }
    return nullptr;
}

namespace glm_detail {
GlmGroup* addGroup(GlmModel* model, std::string_view name) {
    auto* group = static_cast<GlmGroup*>(checkedCalloc(1, sizeof(GlmGroup), "glmReadOBJ()"));
    try {
        group->name = copyString(name, "glmReadOBJ()");
    } catch (...) {
        std::free(group);
        throw;
    }
    group->next = model->groups;
    model->groups = group;
    model->groupCount++;
    return group;
}

void notifyMissingMaterial(std::string_view name) {
    std::string text = "glmFindMaterial():  can't find material \"" + cText(name) + "\".\n";
    glmNotify(GlmStream::Out, text.c_str());
}
} // namespace glm_detail

GlmGroup* glmFindOrAddGroup(GlmModel* model, const char* name) {
    GlmGroup* group = glmFindGroup(model, name);
    return group != nullptr ? group : addGroup(model, name);
}

std::uint32_t glmFindMaterial(GlmModel* model, const char* name) {
    for (std::uint32_t i = 0; model->materials != nullptr && i < model->materialCount; ++i) {
        // An entry the library never named (null) matches nothing.
        if (model->materials[i].name != nullptr &&
            std::strcmp(model->materials[i].name, name) == 0) {
            return i;
        }
    }
    notifyMissingMaterial(name);
    return 0;
}
