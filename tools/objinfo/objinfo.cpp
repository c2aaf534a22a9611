#include "tools/objinfo/objinfo.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <vector>

using Json = nlohmann::ordered_json;

namespace {

// The shortest decimal that reads back to f, held as the double it spells, so that the JSON
// writer (shortest round trip for doubles) prints exactly those digits.
Json floatNumber(float f) {
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, f);
    *r.ptr = '\0';
    double d = std::strtod(text, nullptr);
    if (static_cast<float>(d) != f) {
        d = static_cast<double>(f); // never expected; exact in any case
    }
    return d;
}

Json floats(const float* values, int count) {
    Json array = Json::array();
    for (int i = 0; i < count; ++i) {
        array.push_back(floatNumber(values[i]));
    }
    return array;
}

Json vec(const Vec3& v) {
    return Json::array({floatNumber(v.x), floatNumber(v.y), floatNumber(v.z)});
}

Json indices(const std::uint32_t* values) {
    return Json::array({values[0], values[1], values[2]});
}

// Null where the face format did not carry the triple (the reader leaves it 0).
Json optionalIndices(const std::uint32_t* values) {
    if (values[0] == 0) {
        return nullptr;
    }
    return indices(values);
}

Json stringOrNull(const char* text) {
    return text == nullptr ? Json(nullptr) : Json(text);
}

} // namespace

const char* objinfoWinding(const GlmModel* model) {
    static const char* const names[] = {"open", "cw", "ccw"}; // in GlmWinding's order
    GlmEdges edges;
    const GlmWinding winding = glmWinding(model, &edges);
    return edges.repeatsOneWay ? "mixed" : names[static_cast<int>(winding)];
}

std::string objinfoReport(GlmModel* model, bool full, const std::vector<std::string>& notices) {
    Json report;
    report["path"] = stringOrNull(model->path);
    report["materialLibrary"] = stringOrNull(model->materialLibrary);
    report["counts"] = {{"vertices", model->vertexCount},    {"normals", model->normalCount},
                        {"texCoords", model->texCoordCount}, {"triangles", model->triangleCount},
                        {"groups", model->groupCount},       {"materials", model->materialCount}};
    // A big model's groups list a million triangles: they are moved, never copied.
    Json groups = Json::array();
    for (const GlmGroup* g = model->groups; g != nullptr; g = g->next) {
        Json members = Json::array();
        members.get_ref<Json::array_t&>().assign(g->triangles, g->triangles + g->triangleCount);
        groups.push_back(
            {{"name", g->name}, {"triangles", std::move(members)}, {"material", g->material}});
    }
    report["groups"] = std::move(groups);
    Json materials = Json::array();
    for (std::uint32_t i = 0; i < model->materialCount; ++i) {
        const GlmMaterial& m = model->materials[i];
        materials.push_back({{"name", stringOrNull(m.name)},
                             {"ambient", floats(m.ambient, 4)},
                             {"diffuse", floats(m.diffuse, 4)},
                             {"specular", floats(m.specular, 4)},
                             {"shininess", floatNumber(m.shininess)}});
    }
    report["materials"] = materials;
    if (full) {
        Json triangles = Json::array();
        for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
            const GlmTriangle& tri = model->triangles[t];
            triangles.push_back({{"vertex", indices(tri.vertexIndex)},
                                 {"texCoord", optionalIndices(tri.texCoordIndex)},
                                 {"normal", optionalIndices(tri.normalIndex)}});
        }
        report["triangles"] = triangles;
    }

    const double scale = glmPrepare(model);
    Json prepared;
    prepared["scale"] = scale;
    prepared["normalCount"] = model->normalCount;
    prepared["winding"] = objinfoWinding(model);
    if (full) {
        // The model's arrays are 1-based.
        auto vecs = [](const Vec3* values, std::uint32_t count) {
            Json array = Json::array();
            for (std::uint32_t i = 1; i <= count; ++i) {
                array.push_back(vec(values[i]));
            }
            return array;
        };
        Json triangleNormals = Json::array();
        for (std::uint32_t t = 0; t < model->triangleCount; ++t) {
            triangleNormals.push_back(indices(model->triangles[t].normalIndex));
        }
        prepared["vertices"] = vecs(model->vertices, model->vertexCount);
        prepared["facetNormals"] = vecs(model->facetNormals, model->facetNormalCount);
        prepared["normals"] = vecs(model->normals, model->normalCount);
        prepared["triangleNormals"] = triangleNormals;
    }
    report["prepared"] = prepared;
    report["notices"] = notices;
    return report.dump(2, ' ', true, Json::error_handler_t::replace);
}

std::string objinfoFailure(const std::string& path, const std::string& message,
                           const std::vector<std::string>& notices) {
    Json report;
    report["path"] = path;
    report["error"] = message;
    report["notices"] = notices;
    return report.dump(2, ' ', true, Json::error_handler_t::replace);
}
