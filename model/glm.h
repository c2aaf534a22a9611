// Wavefront OBJ/MTL reader, unit scaling and normals.
//
// Contract (the implementation file documents the details of each rule):
// - Vertex, normal, texture-coordinate and facet-normal arrays are 1-based: element 0 is
//   allocated and never read. Triangle numbers, group members and material numbers are 0-based.
// - Every array, string and group belongs to the model; glmDeleteModel releases all of it. The
//   demo never frees its models; tools, tests and the fuzzer do.
// - Fatal failures (a file that cannot be opened, an unknown "v" token, malformed indices) are
//   thrown as GlmFatalError carrying the exact message and the stream it belongs on; library
//   code never ends the process. The program's edge prints it and exits with status 1.
// - Notices that do not stop reading (a missing material, a vertex without a triangle) go
//   through the message sink, which by default writes to the named standard stream.
#pragma once

#include "math/vec3.h"

#include <cstdint>
#include <stdexcept>
#include <string>

enum class GlmStream { Out, Err };

struct GlmFatalError : std::runtime_error {
    GlmFatalError(GlmStream stream_, const std::string& message)
        : std::runtime_error(message), stream(stream_) {}
    GlmStream stream;
};

// Receives every notice; `text` ends with its line end. Passing null restores the default,
// which writes to stdout or stderr.
using GlmMessageSink = void (*)(GlmStream stream, const char* text);
void glmSetMessageSink(GlmMessageSink sink);
// Sends one notice through the current sink (used by the reader and normals).
void glmNotify(GlmStream stream, const char* text);

struct GlmTriangle {
    std::uint32_t vertexIndex[3];
    std::uint32_t normalIndex[3];
    std::uint32_t texCoordIndex[3];
    std::uint32_t facetNormalIndex;
};

struct GlmGroup {
    char* name;
    std::uint32_t triangleCount;
    std::uint32_t* triangles;
    std::uint32_t material;
    GlmGroup* next;
};

struct GlmMaterial {
    char* name;
    float diffuse[4];
    float ambient[4];
    float specular[4];
    float shininess;
};

struct GlmModel {
    char* path;
    char* materialLibrary;
    std::uint32_t vertexCount;
    Vec3* vertices;
    std::uint32_t normalCount;
    Vec3* normals;
    std::uint32_t texCoordCount;
    float* texCoords; // (u, v) pairs, 1-based: pair i at texCoords[2 * i]
    std::uint32_t facetNormalCount;
    Vec3* facetNormals;
    std::uint32_t triangleCount;
    GlmTriangle* triangles;
    std::uint32_t materialCount;
    GlmMaterial* materials;
    std::uint32_t groupCount;
    GlmGroup* groups;
};

// Reads an OBJ file (and the MTL libraries it names) into a new model. Throws GlmFatalError.
GlmModel* glmReadOBJ(const char* fileName);
// Reads OBJ text held in memory; `fileName` is used for messages and to find MTL libraries.
GlmModel* glmReadOBJFromMemory(const char* fileName, const char* data, std::size_t size);
void glmDeleteModel(GlmModel* model);

GlmGroup* glmFindGroup(GlmModel* model, const char* name);
GlmGroup* glmFindOrAddGroup(GlmModel* model, const char* name);
std::uint32_t glmFindMaterial(GlmModel* model, const char* name);

// The directory part of path including its final '/', or "" when there is none.
std::string glmDirectoryOf(const char* path);
void glmReadMTL(GlmModel* model, const char* name);

double glmScaleToUnit(GlmModel* model);
void glmFacetNormals(GlmModel* model);
void glmVertexNormals(GlmModel* model, float angle);
