// Wavefront OBJ/MTL reader, unit scaling, normals, the preparation every program gives a model,
// and what a mesh's edges say about its outside.
//
// Where each part lives: glm_model.cpp (the record's lifetime, lookups, the message sink),
// glm_file.cpp (the file source), glm_obj.cpp (the OBJ passes), glm_face.h (how a face
// statement is scanned), glm_mtl.cpp, glm_scale.cpp, glm_normals.cpp, glm_prepare.cpp,
// glm_edges.cpp (closed, winding, edges used twice one way); glm_scan.h/.cpp hold the scanner
// and allocation both readers share.
//
// Contract (the implementation files document the details of each rule):
// - Vertex, normal, texture-coordinate and facet-normal arrays are 1-based: element 0 is
//   allocated and never read. Triangle numbers, group members and material numbers are 0-based.
// - Every array, string and group belongs to the model; glmDeleteModel releases all of it. The
//   demo never frees its models; tools, tests and the fuzzer do. A few big freed arrays are kept
//   for the next read instead of going back to the system.
// - Fatal failures (a file that cannot be opened, an unknown "v" token, malformed indices) are
//   thrown as GlmFatalError carrying the exact message and the stream it belongs on; library
//   code never ends the process. The program's edge prints it (glmPrintFatal) and exits with
//   status 1. A failed read releases everything it had built.
// - Notices that do not stop reading (a missing material, a vertex without a triangle) go
//   through the message sink, which by default writes to the named standard stream.
//
// Reading rules where the file format leaves faults open (all deterministic, memory-safe):
// - A file is taken into memory once (mapped when it is a regular file) and scanned twice.
//   Text is taken as on a text-mode stream: "\r\n" counts as one line end. Whitespace is the C
//   locale's (space, \t, \n, \v, \f, \r); NUL and bytes above 127 are ordinary characters.
//   Anything but a readable regular file (a directory, a FIFO, a device) counts as one that
//   cannot be opened. Bytes of the file quoted in messages are cut at a NUL and escaped as
//   \xNN where they are control characters or not UTF-8.
// - A token holds at most 127 characters; a longer run of non-blank characters is read as
//   several tokens of at most 127 characters each. The rest of a line is read 127 characters
//   at most; what is left of a longer line is read as further tokens. A name ends at its
//   first NUL byte. A "g" name loses its line end only when it has one. A "mtllib", "usemtl"
//   or "newmtl" line without a word names the empty string.
// - Numbers scan as the C library's "%d" and "%f" would for well-formed text (sign, '+',
//   exponent, inf/nan, hex floats, float rounding). A number is the longest prefix that forms
//   one; text that forms none is not consumed.
// - Every coordinate, colour and shininess stored must be a finite 32-bit float: "nan",
//   "inf" and values such as 1e40 that overflow are fatal, naming the file and line. "v" and
//   "vn" need three numbers; "vt" needs one (a missing second is 0, as the format says).
// - Face indices: negative ones count back from the last element read so far (-1 is the
//   latest); 0, one reaching before the first element, one beyond the file's count, or one
//   too large for 32 bits is fatal with the file, line and value. A face needs three
//   corners; every corner must carry exactly the values of the first corner's format (and be
//   followed by whitespace), otherwise it is fatal. Stored indices are absolute and 1-based;
//   index triples a face's format does not carry are 0.
// - The second pass never writes past what the first pass counted, whatever the input: a
//   record beyond the counted number (two statements on one line, say) is fatal, naming the
//   file and line, and so is a counted record the second pass never reached (a line over 127
//   characters read in different pieces by the two passes). In a library, a material beyond
//   the count is fatal likewise; one counted but never named keeps the defaults and a null
//   name (glmFindMaterial passes over it).
// - Counts and allocation sizes are checked; running out of memory is fatal.
// - Scaling: a model without vertices or with a zero largest dimension gets the factor 1.0;
//   a largest dimension that overflows a float is taken in double precision.
// - Normals: a zero-area triangle gets the facet normal (0, 0, 0), which joins every average
//   without changing it (as a vertex's reference it admits every triangle there), so every
//   normal stays finite; an average of only such facets is (0, 0, 0) too. A triangle that names one
//   vertex in several slots gets a normal index in every slot: each slot takes the normal of its
//   own list entry.
#pragma once

#include "math/vec3.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

enum class GlmStream { Out, Err };

struct GlmFatalError : std::runtime_error {
    GlmFatalError(GlmStream stream_, const std::string& message)
        : std::runtime_error(message), stream(stream_) {}
    GlmStream stream;
};

// Receives every notice with the context it was set with; `text` ends with its line end.
// Passing null restores the default, which writes to stdout or stderr.
using GlmMessageSink = void (*)(void* context, GlmStream stream, const char* text);
void glmSetMessageSink(GlmMessageSink sink, void* context = nullptr);
void glmNotify(GlmStream stream, const char* text);
// Writes a fatal error's message to its stream (stdout or stderr) and flushes it; the caller
// then exits with status 1.
void glmPrintFatal(const GlmFatalError& error);

// Where the readers get a file's bytes. The default reads the file system and fails for a
// directory or an unreadable file. Tests and the fuzzer substitute a source that serves texts
// from memory; passing null restores the default. The source gets the context it was set with
// and returns false when the file cannot be read.
using GlmFileSource = bool (*)(void* context, const char* path, std::string* contents);
void glmSetFileSource(GlmFileSource source, void* context = nullptr);

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

// Reading options. The demo reads with none: its own files must be complete.
// GLM_GEOMETRY_ONLY is for a caller that draws positions and faces alone: a material library
// that cannot be read (the table stays empty, so every group keeps material 0), face indices
// of texture coordinates or normals the file does not have (stored as 0), and statements
// nobody reads (an unknown "v" token such as "vp" or "vw", free-form curves and surfaces) each
// give one notice on standard error, naming the file and the first line, instead of failing.
constexpr unsigned GLM_GEOMETRY_ONLY = 1;

// Reads an OBJ file (and the MTL libraries it names) into a new model. Throws GlmFatalError.
GlmModel* glmReadOBJ(const char* fileName, unsigned flags = 0);
// Reads OBJ text held in memory; `fileName` is used for messages and to find MTL libraries.
GlmModel* glmReadOBJFromMemory(const char* fileName, const char* data, std::size_t size,
                               unsigned flags = 0);
void glmDeleteModel(GlmModel* model);

GlmGroup* glmFindGroup(GlmModel* model, const char* name);
GlmGroup* glmFindOrAddGroup(GlmModel* model, const char* name);
std::uint32_t glmFindMaterial(GlmModel* model, const char* name);

// The directory part of path including its final '/', or "" when there is none.
std::string glmDirectoryOf(const char* path);
void glmReadMTL(GlmModel* model, const char* name);

// Centres the bounding box on the origin and scales by 2 / (largest of |max| + |min| per axis).
// Returns the factor applied.
double glmScaleToUnit(GlmModel* model);
void glmFacetNormals(GlmModel* model);
// Replaces the normals by smoothed ones (crease `angle` in degrees); runs glmFacetNormals
// first when the model has no facet normals. Linear in the number of corners.
void glmVertexNormals(GlmModel* model, float angle);

// Readies a model just read for tone shading, the same for the demo, the viewer and the
// inspector: glmScaleToUnit, glmFacetNormals, glmVertexNormals at 90 degrees, then every normal
// made unit length. `turn`, when given, runs once the normals exist and before they are made
// unit length, so that their lengths are taken from the turned components. Returns the scale
// factor applied.
double glmPrepare(GlmModel* model, const std::function<void(GlmModel*)>& turn = {});

// A triangle with three different corners, each naming one of the model's vertices: the only
// kind that has edges and an area.
bool glmTriangleUsable(const GlmTriangle& triangle, std::uint32_t vertexCount);

// What the directed edges of the usable triangles say. Linear in the corners and vertices.
struct GlmEdges {
    std::uint32_t leftOut; // triangles that are not usable
    // Some directed edge is used twice (a doubled, flipped or finned part): two triangles then
    // claim opposite sides of it, so the mesh has no consistent outside.
    bool repeatsOneWay;
    // Triangles, none left out, and every edge used exactly twice, once in each direction.
    bool closed;
};
GlmEdges glmEdges(const GlmModel* model);

// How the triangles wind as seen from outside: a closed mesh is clockwise or counter-clockwise
// by the sign of the volume it encloses. Anything else (no triangles, a hole, a doubled or
// flipped triangle, a repeated corner, zero volume) is open. `edges`, when given, receives the
// analysis the answer comes from.
enum class GlmWinding { Open, Clockwise, CounterClockwise };
GlmWinding glmWinding(const GlmModel* model, GlmEdges* edges = nullptr);
