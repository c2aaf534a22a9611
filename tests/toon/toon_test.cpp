// The tone shader: the ramp as a function of the settings and the smoothing of its grey levels,
// against values worked by hand in double precision (single precision follows them to 1e-6);
// the texel each corner selects on screen; smooth shading across folds; and the five data
// models, written by the generator byte for byte as committed and drawn as the scene sets them
// up, shades inside a black silhouette.
#include "toon/toon_model.h"

#include "math/random.h"
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct RampCase {
    const char* name;
    std::int32_t flags;
    int shadeCount;
    int draws;          // numbers taken from the random generator
    float texels[4][3]; // the first four
};

// Cool (0.2, 0.5, 1), warm (0, 1, 0). The fresh generator's 41, 18467, 6334, 26500, 19169 give
// the grey levels 0.41, 0.67, 0.34, 0.00, 0.69 before smoothing.
const RampCase rampCases[] = {
    {"gradient: from the mean of cool and warm to warm",
     TOON_GRADIENT | TOON_OUTLINE,
     4,
     0,
     {0.1f, 0.75f, 0.5f, 0.0666667f, 0.8333333f, 0.3333333f, 0.0333333f, 0.9166667f, 0.1666667f,
      0.0f, 1.0f, 0.0f}},
    {"neither gradient nor random shades: white",
     TOON_OUTLINE | TOON_SMOOTH_LINES,
     4,
     0,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"the torus's 32 greys, drawn before the stars",
     TOON_RANDOM_SHADES | TOON_OUTLINE,
     32,
     32,
     {0.4533333f, 0.4533333f, 0.4533333f, 0.5919048f, 0.5919048f, 0.5919048f, 0.3274150f,
      0.3274150f, 0.3274150f, 0.1453450f, 0.1453450f, 0.1453450f}},
    {"random greys darken the gradient texel by texel",
     TOON_GRADIENT | TOON_RANDOM_SHADES,
     4,
     4,
     {0.0453333f, 0.34f, 0.2266667f, 0.0394603f, 0.4932540f, 0.1973016f, 0.0109138f, 0.3001304f,
      0.0545692f, 0.0f, 0.0545692f, 0.0f}},
};

TEST(ToonRamp, TexelsAndRandomDrawsPerSetting) {
    const float cool[3] = {0.2f, 0.5f, 1.0f};
    const float warm[3] = {0.0f, 1.0f, 0.0f};
    resetRandom();
    std::vector<int> sequence;
    for (int i = 0; i <= 32; ++i) {
        sequence.push_back(nextRandom());
    }
    for (const RampCase& c : rampCases) {
        resetRandom();
        float texels[toonMaxShades][3];
        computeToonRamp(c.flags, c.shadeCount, cool, warm, texels);
        EXPECT_EQ(nextRandom(), sequence[c.draws]) << c.name << ": the next number drawn";
        for (int i = 0; i < 12; ++i) {
            EXPECT_NEAR(texels[i / 3][i % 3], c.texels[i / 3][i % 3], 1e-6)
                << c.name << ": texel " << i / 3 << ", channel " << i % 3;
        }
    }
}

// The eye in model coordinates is the point the model-view matrix takes to the origin.
TEST(ToonEye, TheModelViewTakesItToTheOrigin) {
    const float matrices[][16] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1},
                                  {2, 1, 0.5f, 0, -1, 3, 1, 0, 0.25f, -2, 4, 0, 7, -8, 9, 1}};
    for (const float* m : matrices) {
        const Vec3 e = toonEyeInModel(m);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m[i] * e.x + m[4 + i] * e.y + m[8 + i] * e.z + m[12 + i], 0.0f, 1e-5f)
                << "row " << i << " of matrix " << m[1];
        }
    }
}

TEST(ToonRamp, SmoothingLeftToRightThenClampingIntoZeroToOne) {
    // The middle level sees its left neighbour smoothed to 4/3, not yet clamped to 1; in the
    // second ramp nothing is clamped.
    const double middle = (0.6 * 5 + 0.1 + 0.3) / 7;
    const float ramps[2][2][3] = {
        {{1.6f, 0.0f, -1.2f}, {1.0f, (0.0f + 4.0f / 3 - 1.2f) / 7, 0.0f}},
        {{0.0f, 0.6f, 0.3f}, {0.1f, float(middle), float(middle / 6 + 0.25)}}};
    for (const auto& [levels, expected] : ramps) {
        float shades[3] = {levels[0], levels[1], levels[2]};
        smoothToonShades(shades, 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(shades[i], expected[i], 1e-6) << "level " << i << " from " << levels[0];
        }
    }
}

const float background[3] = {0.3f, 0.3f, 0.3f};
const float black[3] = {0.0f, 0.0f, 0.0f};

// A framebuffer channel of b bits is off by at most half a step, the texture (8 bits at least)
// by half of 1/255, the read-back byte by half a byte: 1.5 on an 8-8-8 buffer, 5.1 on 5 bits.
// Ramp colours of one model lie further apart than twice that.
bool near(const Rgb& p, const float* c) {
    double tol = 0.5 * 255.0 / ((1 << channelBits()) - 1) + 1.0;
    return std::fabs(p.r - c[0] * 255.0) <= tol && std::fabs(p.g - c[1] * 255.0) <= tol &&
           std::fabs(p.b - c[2] * 255.0) <= tol;
}

// The index of the ramp texel p shows, or -1.
int texelOf(const Rgb& p, const float (*texels)[3], int count) {
    for (int k = 0; k < count; ++k) {
        if (near(p, texels[k])) {
            return k;
        }
    }
    return -1;
}

std::string describe(const Rgb& p, int x, int y) {
    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") = (" +
           std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

void viewSquare() {
    glViewport(0, 0, 96, 96);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.25, 1.25, -1.25, 1.25, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(background[0], background[1], background[2], 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// One triangle facing the viewer, clockwise on screen, in the lower left of the square; its
// corners share one normal index. Normal 2 is stored, facing the viewer, but lies past
// normalCount. The ramp runs from red to blue in four shades.
struct OneTriangle {
    Vec3 vertices[4] = {{0, 0, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
    Vec3 normals[3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 1}};
    GlmTriangle triangle{};
    GlmModel model{nullptr, nullptr, 3, vertices,  1, normals, 0, nullptr,
                   0,       nullptr, 1, &triangle, 0, nullptr, 0, nullptr};
    ToonModel toon{};
    float texels[4][3];

    OneTriangle(Vec3 normal, std::uint32_t index, Vec3 light) {
        normals[1] = normal;
        triangle = GlmTriangle{{1, 2, 3}, {index, index, index}, {}, 0};
        toon.flags = TOON_GRADIENT;
        toon.lineWidth = 1.0f;
        toon.lightDir = light;
        toon.shadeCount = 4;
        toon.model = &model;
        const float cool[3] = {1.0f, 0.0f, 0.0f};
        const float warm[3] = {0.0f, 0.0f, 1.0f};
        toon.buildRamp(cool, warm);
        computeToonRamp(TOON_GRADIENT, 4, cool, warm, texels);
    }
};

struct CornerCase {
    const char* name;
    Vec3 normal;
    std::uint32_t index;
    Vec3 light;
    float turnZ; // model-view: degrees about z, then a uniform scale
    float scale;
    float coordinate;
    int texel;
};

const CornerCase cornerCases[] = {
    {"exactly 1 wraps to texel 0", {0, 0, 1}, 1, {0, 0, 1}, 0, 1, 1.0f, 0},
    {"cos 8 degrees: last texel", {0, 0.1395431f, 0.9902159f}, 1, {0, 0, 1}, 0, 1, 0.99021f, 3},
    {"facing away from the light: 0", {0, 0, 1}, 1, {0, 0.6f, -0.8f}, 0, 1, 0.0f, 0},
    {"zero-length normal: 0, not NaN", {0, 0, 0}, 1, {0, 0, 1}, 0, 1, 0.0f, 0},
    {"index just past the normals: 0", {0, 0, 1}, 2, {0, 0, 1}, 0, 1, 0.0f, 0},
    {"the model-view turns the normal", {1, 0, 0}, 1, {0, 1, 0}, 40, 1, 0.6427876f, 2},
    {"scaling is undone", {0, 0.1395431f, 0.9902159f}, 1, {0, 0, 1}, 0, 0.5f, 0.99021f, 3},
};

TEST(ToonDraw, EachCornerSelectsTheTexelOfItsClampedCosine) {
    ASSERT_TRUE(ensureGlContext());
    for (const CornerCase& c : cornerCases) {
        viewSquare();
        OneTriangle one(c.normal, c.index, c.light);
        glRotatef(c.turnZ, 0.0f, 0.0f, 1.0f);
        glScalef(c.scale, c.scale, c.scale);
        one.toon.draw();
        for (int corner = 0; corner < 3; ++corner) { // all three share the normal
            EXPECT_NEAR(one.toon.cornerShades[corner], c.coordinate, 1e-5) << c.name;
        }
        Rgb p = readPixels(96, 96).at(38, 38);
        EXPECT_EQ(texelOf(p, one.texels, 4), c.texel) << c.name << ": " << describe(p, 38, 38);
    }
}

// A model out of view is left out of the GL, not out of the state it leaves behind. A small
// triangle, counter-clockwise on screen so that only its 12-pixel outline shows, stands at the
// right edge of the 96-pixel view (38.4 pixels a unit); its left edge lies `gap` pixels beyond.
TEST(ToonDraw, AModelOutOfViewLeavesTheStateOfADrawnOne) {
    ASSERT_TRUE(ensureGlContext());
    const struct {
        float gap;
        bool black; // in the view's last column
    } cases[] = {{-3.0f, true}, {1.0f, false}, {40.0f, false}};
    for (const auto& c : cases) {
        viewSquare();
        OneTriangle one({0, 0, 1}, 1, {0, 0, 1});
        one.vertices[1] = {-0.1f, -0.1f, 0};
        one.vertices[2] = {0.1f, 0, 0};
        one.vertices[3] = {-0.1f, 0.1f, 0};
        one.toon.flags = TOON_OUTLINE;
        one.toon.lineWidth = 12.0f;
        glTranslatef(1.35f + c.gap / 38.4f, 0.0f, 0.0f);
        glLineWidth(2.0f);
        glCullFace(GL_BACK);
        glDepthFunc(GL_ALWAYS);
        glEnable(GL_BLEND);
        glEnable(GL_TEXTURE_1D);
        glBindTexture(GL_TEXTURE_1D, 0);
        one.toon.draw();
        Rgb p = readPixels(96, 96).at(95, 48);
        EXPECT_EQ(near(p, black), c.black) << c.gap << " pixels out: " << describe(p, 95, 48);
        GLint cull, depth, texture, polygon[2];
        GLfloat width, colour[4];
        glGetIntegerv(GL_CULL_FACE_MODE, &cull);
        glGetIntegerv(GL_DEPTH_FUNC, &depth);
        glGetIntegerv(GL_TEXTURE_BINDING_1D, &texture);
        glGetIntegerv(GL_POLYGON_MODE, polygon);
        glGetFloatv(GL_LINE_WIDTH, &width);
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_TRUE(cull == GL_FRONT && depth == GL_LESS && polygon[0] == GL_FILL &&
                    texture == static_cast<GLint>(one.toon.rampTexture) && width == 12.0f &&
                    colour[0] == 0.0f && !glIsEnabled(GL_BLEND) && !glIsEnabled(GL_TEXTURE_1D) &&
                    !glIsEnabled(GL_VERTEX_ARRAY) && !glIsEnabled(GL_TEXTURE_COORD_ARRAY))
            << c.gap << " pixels out";
    }
}

// Two sided, the edge between two triangles is outlined when one faces the eye and the other
// does not, by the sign of its stored facet normal against the eye seen from its first corner.
// Triangles 1 2 3 and 2 1 4 run their shared edge in opposite directions; the four borders are
// always outlined (24 floats), the shared edge adds 6. Triangle B faces +z, the eye stands at z 5.
TEST(ToonDraw, TheSharedEdgeIsOutlinedWhereTheFacingTurns) {
    ASSERT_TRUE(ensureGlContext());
    const struct {
        Vec3 normalA, eye;
        std::size_t floats;
    } cases[] = {
        {{0.6f, 0.8f, 0}, {4, -1, 5}, 24},   // 2.4 - 0.8: A faces the eye too
        {{0.6f, 0.8f, 0}, {1, -1, 5}, 30},   // 0.6 - 0.8: A turns away
        {{0, 0, -1}, {0, 0, 5}, 30},         // A faces -z
        {{0.8f, -0.6f, 0}, {-1, -2, 5}, 24}, // -0.8 + 1.2
        {{0, 0.6f, 0.8f}, {0, -7, 5}, 30},   // -4.2 + 4
    };
    for (const auto& c : cases) {
        viewSquare();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-20, 20, -20, 20, -50, 50);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(-c.eye.x, -c.eye.y, -c.eye.z);
        OneTriangle one({0, 0, 1}, 1, {0, 0, 1});
        Vec3 vertices[5] = {{}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
        Vec3 facets[3] = {{}, c.normalA, {0, 0, 1}};
        GlmTriangle triangles[2] = {{{1, 2, 3}, {1, 1, 1}, {}, 1}, {{2, 1, 4}, {1, 1, 1}, {}, 2}};
        one.model = {nullptr, nullptr, 4, vertices,  1, one.normals, 0, nullptr,
                     2,       facets,  2, triangles, 0, nullptr,     0, nullptr};
        one.toon.flags = TOON_TWO_SIDED | TOON_OUTLINE;
        one.toon.draw();
        EXPECT_EQ(one.toon.outlineEnds.size(), c.floats)
            << "normal (" << c.normalA.x << ", " << c.normalA.y << ", " << c.normalA.z << "), eye ("
            << c.eye.x << ", " << c.eye.y << ", " << c.eye.z << ")";
    }
}

TEST(ToonLoad, FoldsUnderNinetyDegreesShadeSmoothly) {
    ToonModel toon{};
    toon.load(VELMORA_SOURCE_DIR "/tests/toon/fixtures/fold_60_degrees.obj");
    EXPECT_EQ(toon.flags, TOON_OUTLINE | TOON_GRADIENT) << "the look a loaded model starts with";
    EXPECT_EQ(toon.shadeCount, 4);
    const GlmModel& m = *toon.model;
    for (int corner : {0, 1}) { // vertex 1, then vertex 2: corners 1 and 0 of the second triangle
        const Vec3& a = m.normals[m.triangles[0].normalIndex[corner]];
        const Vec3& b = m.normals[m.triangles[1].normalIndex[1 - corner]];
        EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z)
            << "vertex " << corner + 1 << ": (" << a.x << ", " << a.y << ", " << a.z << ") and ("
            << b.x << ", " << b.y << ", " << b.z << ")";
    }
    glmDeleteModel(toon.model);
}

// Seen from an angle that shows what each model is: turned about x, then about y (degrees), at
// a distance.
struct Picture {
    ToonModel* toon;
    float tiltX, turnY, distance;
};

const Picture pictures[] = {{&scene.spaceship, 30, 140, 3.2f},
                            {&scene.deathstar, 10, -20, 4.2f},
                            {&scene.lego, 35, 30, 4.2f},
                            {&scene.surface, 45, 20, 4.0f},
                            {&scene.torus, 55, 0, 4.2f}};

std::string notices;

TEST(ToonDraw, DataModelsShowShadesInsideABlackSilhouette) {
    ASSERT_TRUE(ensureGlContext());
    glmSetMessageSink([](void*, GlmStream, const char* text) { notices += text; });
    ASSERT_TRUE(setUpSceneFrom(VELMORA_SOURCE_DIR));
    glmSetMessageSink(nullptr);
    EXPECT_EQ(notices, "") << "reading data/";
    const int width = testSurfaceSize, height = 300;
    for (const Picture& picture : pictures) {
        ToonModel& toon = *picture.toon;
        const char* name = toon.model->path;
        EXPECT_EQ(glmWinding(toon.model), GlmWinding::Clockwise) << name;
        float texels[toonMaxShades][3];
        glBindTexture(GL_TEXTURE_1D, toon.rampTexture);
        glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, texels);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(width) / height, 0.5, 50.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -picture.distance);
        glRotatef(picture.tiltX, 1.0f, 0.0f, 0.0f);
        glRotatef(picture.turnY, 0.0f, 1.0f, 0.0f);
        glClearColor(background[0], background[1], background[2], 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        toon.draw();
        Pixels pixels = readPixels(width, height);
        int outline = 0, shaded = 0, rows = 0;
        int unlined = 0; // rows whose leftmost model pixel is not outline
        for (int y = 0; y < height; ++y) {
            int first = -1;
            for (int x = 0; x < width; ++x) {
                Rgb p = pixels.at(x, y);
                if (near(p, background)) {
                    continue;
                }
                first = first < 0 ? x : first;
                if (near(p, black)) {
                    ++outline;
                    continue;
                }
                ASSERT_GE(texelOf(p, texels, toon.shadeCount), 0)
                    << name << ": " << describe(p, x, y) << " is no ramp colour";
                ++shaded;
            }
            rows += first >= 0;
            unlined += first >= 0 && !near(pixels.at(first, y), black);
        }
        // Mostly shades: a model wound the wrong way round shows its inside, and every front
        // edge then draws as outline.
        EXPECT_GT(shaded + outline, width * height / 20) << name;
        EXPECT_GT(shaded, 2 * outline) << name;
        // A notch a few pixels across (the trench meeting the limb) can leave a pixel or two
        // unlined: one row in a hundred may start with a shade.
        EXPECT_LE(unlined, rows / 100) << name;
    }
}

// The committed data/ files are what the model generator writes, byte for byte.
std::string readFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

TEST(DataFiles, GeneratorWritesTheCommittedFilesByteForByte) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("velmora-modelgen-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string command = std::string(VELMORA_MODELGEN) + " " + dir.string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (std::string name : {"spaceship", "deathstar", "lego", "surface", "torus"}) {
        for (std::string file : {name + ".obj", name + ".mtl"}) {
            std::string fresh = readFile(dir / file);
            EXPECT_FALSE(fresh.empty()) << file;
            EXPECT_TRUE(fresh == readFile(fs::path(VELMORA_SOURCE_DIR) / "data" / file))
                << "data/" << file << " is stale: run velmora-modelgen data";
        }
    }
    fs::remove_all(dir);
}

} // namespace
