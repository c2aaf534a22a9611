// The winding decision on meshes of each kind, and on the demo's own models.
#include "view/winding.h"

#include "tests/support/fenced.h"
#include "tests/view/meshes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Kind = Orientation::Kind;

struct ModelDeleter {
    void operator()(GlmModel* model) const { glmDeleteModel(model); }
};
using ModelPointer = std::unique_ptr<GlmModel, ModelDeleter>;

struct WindingCase {
    const char* name;
    std::string obj;
    Kind kind;
    bool counterClockwise;
    const char* text;
};

const std::string sheet = "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n";

// The cube turned 30 degrees about x, so that no face's normal lies along an axis.
std::string tilted(const std::string& cube) {
    const char* const low = "-0.3660254 -1.3660254\n";
    const char* const high = "1.3660254 -0.3660254\n";
    const char* const back = "-1.3660254 0.3660254\n";
    const char* const top = "0.3660254 1.3660254\n";
    return std::string("v -1 ") + low + "v 1 " + low + "v 1 " + high + "v -1 " + high + "v -1 " +
           back + "v 1 " + back + "v 1 " + top + "v -1 " + top +
           cube.substr(meshes::cubeVertices().size());
}

const WindingCase windingCases[] = {
    {"closed, clockwise as the demo's models", meshes::cube(true), Kind::Closed, false,
     "clockwise"},
    {"closed, counter-clockwise as OBJ files", meshes::cube(false), Kind::Closed, true,
     "counter-clockwise"},
    {"open box, counter-clockwise", meshes::cube(false, -1, meshes::bottom), Kind::Open, true,
     "open, mostly counter-clockwise"},
    {"open box, clockwise", meshes::cube(true, -1, meshes::bottom), Kind::Open, false,
     "open, mostly clockwise"},
    {"open box, clockwise, turned 30 degrees", tilted(meshes::cube(true, -1, meshes::bottom)),
     Kind::Open, false, "open, mostly clockwise"},
    {"a lid and a floor alone, clockwise: only their height votes",
     meshes::cubeVertices() + meshes::triangle(1, 6, 2) + meshes::triangle(1, 5, 6) +
         meshes::triangle(4, 7, 8) + meshes::triangle(4, 3, 7),
     Kind::Open, false, "open, mostly clockwise"},
    {"open box with one side turned round", meshes::cube(false, meshes::front, meshes::bottom),
     Kind::Mixed, true, "mixed"},
    {"one face turned round", meshes::cube(false, meshes::front), Kind::Mixed, true, "mixed"},
    {"one triangle doubled", meshes::cube(false) + meshes::triangle(5, 6, 7), Kind::Mixed, true,
     "mixed"},
    {"a fin: three triangles on one edge",
     sheet + "v 0 0 1\n" + meshes::triangle(1, 2, 3) + meshes::triangle(1, 3, 4) +
         meshes::triangle(1, 3, 5),
     Kind::Mixed, false, "mixed"},
    {"a flat sheet has no outside: the format's custom",
     sheet + meshes::triangle(1, 2, 3) + meshes::triangle(1, 3, 4), Kind::Open, true,
     "open, mostly counter-clockwise"},
    {"a flat sheet wound the other way: still the custom",
     sheet + meshes::triangle(1, 3, 2) + meshes::triangle(1, 4, 3), Kind::Open, true,
     "open, mostly counter-clockwise"},
    {"no triangles", sheet, Kind::Open, true, "open, mostly counter-clockwise"},
    {"one vertex", "v 1 2 3\nf 1 1 1\n", Kind::Open, true, "open, mostly counter-clockwise"},
    {"a degenerate triangle beside a clockwise open box: left out of the vote",
     meshes::cube(true, -1, meshes::bottom) + meshes::triangle(1, 1, 2) +
         meshes::triangle(1, 2, 2) + meshes::triangle(2, 1, 2),
     Kind::Open, false, "open, mostly clockwise"},
};

TEST(ViewWinding, DecisionPerMesh) {
    for (const WindingCase& c : windingCases) {
        ModelPointer model(glmReadOBJFromMemory("mesh.obj", c.obj.data(), c.obj.size()));
        // Fenced: the decision reads no vertex past the count.
        Vec3* const own = model->vertices;
        const Fenced fenced(own, (model->vertexCount + std::size_t{1}) * sizeof(Vec3));
        model->vertices = reinterpret_cast<Vec3*>(fenced.data);
        const Orientation got = decideOrientation(*model);
        model->vertices = own;
        EXPECT_EQ(got.kind, c.kind) << c.name;
        EXPECT_EQ(got.counterClockwise, c.counterClockwise) << c.name;
        EXPECT_EQ(orientationText(got), c.text) << c.name;
    }
}

TEST(ViewWinding, TheDemosModelsAreClosedAndClockwise) {
    for (const char* name : {"spaceship", "deathstar", "lego", "surface", "torus"}) {
        const std::string path = std::string(VELMORA_SOURCE_DIR "/data/") + name + ".obj";
        ModelPointer model(glmReadOBJ(path.c_str()));
        EXPECT_EQ(decideOrientation(*model), (Orientation{Kind::Closed, false})) << name;
    }
}

} // namespace
