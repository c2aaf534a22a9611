// The model library (model/glm.h) and the inspector's report of it (tools/objinfo/objinfo.h).
// Fixtures are named after the fault they hold and read from the file system as the demo reads.
#include "model/glm.h"
#include "model/glm_scan.h"
#include "tests/support/fenced.h"
#include "tools/objinfo/objinfo.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace glm_detail;
using nlohmann::json;
using ModelPtr = std::unique_ptr<GlmModel, void (*)(GlmModel*)>;
using Floats = std::vector<float>;

// Notices gather in `notices`, tagged by stream; files come from `files` until a test sets the
// file system back as the source.
struct Model : ::testing::Test {
    static std::string tag(GlmStream s) { return s == GlmStream::Out ? "[out] " : "[err] "; }
    static inline std::string notices;
    static inline std::map<std::string, std::string> files;
    void SetUp() override {
        notices.clear();
        files.clear();
        glmSetMessageSink([](void*, GlmStream s, const char* text) { notices += tag(s) + text; });
        glmSetFileSource([](void*, const char* path, std::string* contents) {
            return files.count(path) != 0 && (*contents = files[path], true);
        });
    }
    void TearDown() override {
        glmSetMessageSink(nullptr);
        glmSetFileSource(nullptr);
    }
};

ModelPtr read(const std::string& t, bool fencedBefore = false) {
    const Fenced fenced(t.data(), t.size(), fencedBefore);
    return ModelPtr(glmReadOBJFromMemory("dir/model.obj", fenced.data, t.size()), glmDeleteModel);
}

// What `step` returns, or the fatal error it throws tagged with its stream as notices are.
std::string outcome(const std::function<std::string()>& step) {
    try {
        return step();
    } catch (const GlmFatalError& e) {
        return Model::tag(e.stream) + e.what();
    }
}

// The triangles as OBJ corners ("1/2/3 2/3/4 3/4/5", a 0 index left out) separated by ',', the
// groups in list order as "[name@material:members]", then any notices.
std::string summary(const GlmModel* m) {
    std::string text;
    for (std::uint32_t c = 0; c < 3 * m->triangleCount; ++c) {
        const GlmTriangle& t = m->triangles[c / 3];
        std::uint32_t vt = t.texCoordIndex[c % 3], vn = t.normalIndex[c % 3];
        text += std::string(c > 0, c % 3 ? ' ' : ',') + std::to_string(t.vertexIndex[c % 3]) +
                (vt + vn == 0 ? "" : "/" + (vt == 0 ? "" : std::to_string(vt))) +
                (vn == 0 ? "" : "/" + std::to_string(vn));
    }
    std::uint32_t listed = 0;
    for (const GlmGroup* g = m->groups; g != nullptr; g = g->next, ++listed) {
        text += " [" + std::string(g->name) + "@" + std::to_string(g->material) + ":";
        for (std::uint32_t i = 0; i < g->triangleCount; ++i) {
            text.append(i > 0 ? "," : "").append(std::to_string(g->triangles[i]));
        }
        text += "]";
    }
    text += listed == m->groupCount ? "" : " groupCount " + std::to_string(m->groupCount);
    return text + (Model::notices.empty() ? "" : " " + Model::notices);
}

void expectSummaries(const std::vector<std::pair<std::string, std::string>>& cases) {
    for (const auto& [text, expected] : cases) {
        Model::notices.clear();
        EXPECT_EQ(outcome([&text = text] { return summary(read(text).get()); }), expected) << text;
    }
}

// Four vertices, five texture coordinates (the first with one number) and six normals.
const std::string D = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0.5\nvt 0 1\nvt 0 1\nvt 0 1\n"
                      "vt 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n";

TEST_F(Model, CornerFormats) {
    const std::string fan = " [default@0:0,1]";
    expectSummaries({
        {D + "f 1 2 3 4\n", "1 2 3,1 3 4" + fan},
        {D + "f 1/2/3 2/3/4 3/4/5 4/5/6\n", "1/2/3 2/3/4 3/4/5,1/2/3 3/4/5 4/5/6" + fan},
        {D + "f 1//3 2//4 3//5 4//6\n", "1//3 2//4 3//5,1//3 3//5 4//6" + fan},
        {D + "f 1/2 2/3 3/4 4/5\n", "1/2 2/3 3/4,1/2 3/4 4/5" + fan},
        // Negative indices count back from the latest element read so far.
        {D + "f -4/-5/-6 -3/-4/-5 -2/-3/-4 -1/-2/-3\nv 9 9 9\n",
         "1/1/1 2/2/2 3/3/3,1/1/1 3/3/3 4/4/4" + fan},
        {"f 1 2 3\n" + D, "1 2 3 [default@0:0]"},
        {D + "f 1\n2\n3 4\nf 1 2 3\n", "1 2 3,1 3 4,1 2 3 [default@0:0,1,2]"},
        // The rest of a line is read 127 characters at a time; what is left is tokens.
        {D + "# " + std::string(126, 'x') + " f 1 2 3\n", "1 2 3 [default@0:0]"},
        {D + "# " + std::string(100, 'x') + " f 1 2 3\n", " [default@0:]"},
    });
}

TEST_F(Model, GroupsAndTheirMaterials) {
    files["dir/lib.mtl"] = "newmtl hull\nnewmtl glass\nnewmtl hull\n";
    const std::string a125(125, 'a'), b126(126, 'b');
    expectSummaries({
        {D + "f 1 2 3\ng a\nf 1 3 4\ng b\nf 2 3 4\ng a\nf 1 2 4\ng default\nf 1 2 3\ng\n"
             "f 1 2 3\ng\t two words \nf 1 3 4\n",
         "1 2 3,1 3 4,2 3 4,1 2 4,1 2 3,1 2 3,1 3 4 [\t two words @0:6] [@0:5] [ default@0:4] "
         "[ b@0:2] [ a@0:1,3] [default@0:0]"},
        // A name loses its line end ("\r\n" counting as one) only when it fits in 127.
        {"g " + a125 + "\r\ng " + b126 + "\n",
         " [ " + b126 + "@0:] [ " + a125 + "@0:] [default@0:]"},
        // The second of two words; of two equal names the first.
        {D + "mtllib lib.mtl\ng ship\nusemtl x hull\nf 1 2 3\n", "1 2 3 [ ship@1:0] [default@0:]"},
        {D + "mtllib lib.mtl\nusemtl glass\ng a\nf 1 2 3\ng b\nusemtl hull\nf 1 2 3\n",
         "1 2 3,1 2 3 [ b@1:1] [ a@2:0] [default@2:]"},
    });
}

TEST_F(Model, CoordinatesKeepTheirValues) {
    // A number is read whole however long, a fourth value is skipped, "vt" needs one number.
    auto m = read("v 1." + std::string(300, '0') + " 2 3 1\nvt 0.5\nvt 0.25 0.75\nvn 0 -1 0.5\n");
    const float* t = m->texCoords;
    EXPECT_EQ((Floats{m->vertices[1].y, m->vertices[1].z, t[2], t[3], t[4], t[5], m->normals[1].y,
                      float(m->vertexCount)}),
              (Floats{2, 3, 0.5, 0, 0.25, 0.75, -1, 1}));
}

// A last line without its newline ends with the buffer, whatever the memory after it holds.
TEST_F(Model, TheLastLineEndsWithTheBufferNotPastIt) {
    for (std::size_t length = 120; length <= 130; ++length) {
        const std::string text = D + "g " + std::string(length, 'a');
        const std::string padded = text + "\nv 9 9 9\nf 1 2 4\n";
        ModelPtr beyond(glmReadOBJFromMemory("dir/model.obj", padded.data(), text.size()),
                        glmDeleteModel);
        EXPECT_EQ(summary(beyond.get()), summary(read(text).get())) << length;
    }
}

// Lines the reader can prove regular it reads the short way when 136 bytes follow them, else
// by scanning; each must read alike both ways, to the last bit of every number, or fail alike.
TEST_F(Model, ShortWaysReadLikeTheScan) {
    auto digest = [](const std::string& text) {
        return outcome([&] {
            auto m = read(text);
            return summary(m.get()) +
                   std::string(reinterpret_cast<const char*>(m->vertices + 1),
                               12 * m->vertexCount) +
                   std::string(reinterpret_cast<const char*>(m->texCoords + 2),
                               8 * m->texCoordCount);
        });
    };
    // Each line as it ends the file, and with a line after it; the first ones pass a window.
    const std::string wide = "f 1/2/3 2/3/4 3/4/5 4/5/6 1/2/3 2/3/4 3/4/5 4/5/6 1/2/3 2/3/4 3/4/5";
    std::vector<std::string> lines = {wide, wide + std::string(70, ' '),
                                      "f 1 2 3" + std::string(130, ' ') + "4"};
    std::istringstream more(
        "f 1 2 3 4|f 1/2/3 2/3/4 3/4/5\r|f 1//3 2//4 3//5 4//6 |f 01 2 003|f\t1/2\v2/3\f3/4\r|"
        "f 1//3 2/4 3//5|f 1/2/3 2/3/4 3/4/5/6|f 1/2 /1 1/2|f 1 2/3 3|f 1 2 3/|f //1 2 3|"
        "f 1///3 2///3 3///3|f 1//2 2//3|f 1 2 3\n4 1|f 1 2 3\n-1|f 1 2 3\n\n2|f 1 2 3\x01|"
        "f 1 2 5|f 1 2 123456789|f 1 2 3 -1|v 0.5 -1.25 3.\nf 1 2 3 5|v -0 .5 -.5|v 1.2.3 1 1|"
        "v 1e5 +2 0x1p3|v 1 2\n3|v 9999999 1 -|v  1 1 1|v 12345678 0.1234567 1.23456789|"
        "v +1.5 -2.5 +3|f 000000001 2 3|f 1 2 0000000003|vt 0.5\nvt 1 2|vt 1 2 3");
    for (std::string line; std::getline(more, line, '|');) {
        lines.push_back(line);
    }
    for (const std::string& line : lines) {
        EXPECT_EQ(digest(D + line + "\n#" + std::string(200, '.')), digest(D + line + "\n"))
            << line;
    }
    // First in its file, a line is read without a byte before it either.
    for (const std::string& line : lines) {
        outcome([&] { return summary(read(line + "\n#" + std::string(200, '.'), true).get()); });
    }
}

// Each material as "[name]" and its values that differ from the defaults, spelled shortest.
std::string materialsOf(const GlmModel* m) {
    const GlmMaterial d{nullptr, {0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, 65};
    auto num = [](float f) {
        char text[32];
        return std::string(" ").append(text, std::to_chars(text, text + sizeof text, f).ptr);
    };
    std::string text;
    for (std::uint32_t i = 0; i < m->materialCount; ++i) {
        const GlmMaterial& x = m->materials[i];
        text += (i > 0 ? " [" : "[") + std::string(x.name != nullptr ? x.name : "(null)") + "]";
        for (auto [key, value, fallback] : {std::tuple{" Kd", x.diffuse, d.diffuse},
                                            {" Ka", x.ambient, d.ambient},
                                            {" Ks", x.specular, d.specular}}) {
            if (!std::equal(value, value + 4, fallback)) {
                text.append(key).append(num(value[0])).append(num(value[1]));
                text.append(num(value[2])).append(num(value[3]));
            }
        }
        text.append(x.shininess == d.shininess ? "" : " Ns")
            .append(x.shininess == d.shininess ? "" : num(x.shininess));
    }
    return text;
}

TEST_F(Model, MaterialLibraries) {
    // The filling pass skips the long line from the "x" on, the counting pass meets "newmtl y".
    const std::string unnamed =
        "Kd 1 1 1" + std::string(92, ' ') + "x" + std::string(39, ' ') + "newmtl y\n";
    // The second library read replaces the first.
    files["dir/first.mtl"] = "newmtl a\nnewmtl b\nnewmtl c\nnewmtl d\nnewmtl e\nnewmtl f\n";
    const std::pair<std::string, std::string> cases[] = {
        {"# nothing\n", "[default]"},
        {"Kd 0.1 0.2 0.3\nnewmtl a\n", "[default] Kd 0.1 0.2 0.3 1 [a]"},
        // Ns scales 0..1000 to 0..128; any 'N' token sets it, a value that does not scan rescales.
        {"newmtl a\nNs 1000\nnewmtl b\nNs 0\nnewmtl c\nNs 500\n",
         "[default] [a] Ns 128 [b] Ns 0 [c] Ns 64"},
        {"newmtl a\nNs 1000\nNi 1.5\nnewmtl b\nNs high\n", "[default] [a] Ns 0.192 [b] Ns 8.32"},
        // Only Ka, Kd and Ks set colours, alpha stays, a scan stops at its first non-number.
        {"newmtl a\nKe 1 1 1\nKa 0.5 0.5 0.5\nKd 0.25 0.5 0.75 0.1\nKs 1 x 1\n",
         "[default] [a] Kd 0.25 0.5 0.75 1 Ka 0.5 0.5 0.5 1 Ks 1 0 0 1"},
        // A name is the second of two words; any token starting with 'n' starts a material.
        {"newmtl one two three\nnotes hull\nn\tx\nnewmtl\nnewmtl   \n",
         "[default] [two] [hull] [x] [] []"},
        {"newmtl a\n" + unnamed, "[default] [a] Kd 1 1 1 1 [(null)]"},
    };
    for (const auto& [library, materials] : cases) {
        files["dir/lib.mtl"] = library;
        auto m = read("mtllib first.mtl\nmtllib lib.mtl\n");
        EXPECT_EQ(std::string(m->materialLibrary) + ": " + materialsOf(m.get()),
                  "lib.mtl: " + materials)
            << library;
        // A name is looked up past the entry counted but never named; a miss is said.
        notices.clear();
        EXPECT_EQ(glmFindMaterial(m.get(), "y"), 0u) << library;
        EXPECT_EQ(notices, "[out] glmFindMaterial():  can't find material \"y\".\n") << library;
    }
    // Libraries are looked up in the directory of the OBJ file's path, up to its last '/'.
    EXPECT_EQ(glmDirectoryOf("a/b/c.obj") + "|" + glmDirectoryOf("c.obj") + "|" +
                  glmDirectoryOf("a\\c.obj"),
              "a/b/||");
}

// Every fixture and what reading it ends in: a fatal message (one with a line number names the
// OBJ file and that line) or the model's summary.
TEST_F(Model, Fixtures) {
    glmSetFileSource(nullptr);
    const std::string F = "tests/model/fixtures/", open = "[err] glmReadOBJ() failed: can't open ";
    const std::string range = " is out of range (the file has ", one = "; keep one statement";
    std::string fan = "1 2 3", members = "0";
    for (int i = 3; i < 300; ++i) {
        fan += ",1 " + std::to_string(i) + " " + std::to_string(i + 1);
        members.append(",").append(std::to_string(i - 2));
    }
    const std::tuple<std::string, int, std::string> cases[] = {
        {"zero_index.obj", 4, "vertex index 0" + range + "3 vertices)."},
        {"relative_index_before_first.obj", 5,
         "vertex index -4 reaches before the first of the 3 vertices read so far."},
        {"vertex_index_beyond_count.obj", 4, "vertex index 4" + range + "3 vertices)."},
        {"texcoord_index_beyond_count.obj", 6,
         "texture coordinate index 3" + range + "2 texture coordinates)."},
        {"normal_index_beyond_count.obj", 5, "normal index 2" + range + "1 normal)."},
        {"index_beyond_32_bits.obj", 4, "vertex index 4294967297" + range + "3 vertices)."},
        {"face_one_corner.obj", 4, "face with 1 corner, at least 3 needed."},
        {"face_two_corners.obj", 4, "face with 2 corners, at least 3 needed."},
        {"face_mixed_corner_formats.obj", 6,
         "face corner \"2//1\" does not match the format of its first corner \"1/1/1\"."},
        {"coordinate_nan.obj", 1, "\"nan\" is not a finite 32-bit number."},
        {"coordinate_inf.obj", 2, "\"-inf\" is not a finite 32-bit number."},
        {"coordinate_overflow.obj", 3, "\"1e40\" is not a finite 32-bit number."},
        {"obj_more_vertices_than_counted.obj", 2,
         "more vertices than the first pass counted (2)" + one + " per line."},
        {"obj_more_triangles_than_counted.obj", 4,
         "more triangles than the first pass counted (0)" + one + " per line."},
        // The counting pass meets the face in the long "v" line's remainder, the filling pass
        // skips it: no triangle may be left without corners.
        {"obj_fewer_triangles_than_counted.obj", 0,
         "[err] glmReadOBJ() failed: " + F + "obj_fewer_triangles_than_counted.obj: the second " +
             "pass found 0 of the 1 triangles the first pass counted" + one +
             " per line and lines under 128 characters.\n"},
        {"mtl_more_materials_than_counted.obj", 0,
         "[err] glmReadMTL() failed: " + F + "mtl_more_materials_than_counted.mtl:3: more " +
             "materials than the first pass counted (2)" + one + " per line.\n"},
        {"unknown_token.obj", 0, "[out] glmFirstPass(): Unknown token \"vp\".\n"},
        {"mtllib_without_name.obj", 0,
         "[err] glmReadMTL() failed: can't open material file \"" + F + "\".\n"},
        // Any token starting with 'm' names a library, the second of two words.
        {"any_m_token_reads_a_library.obj", 0,
         "[err] glmReadMTL() failed: can't open material file \"" + F + "second\".\n"},
        {"directory.obj", 0, open + "data file \"" + F + "directory.obj\".\n"},
        {"missing.obj", 0, open + "data file \"" + F + "missing.obj\".\n"},
        {"crlf_line_endings.obj", 0, "1 2 3 [ hull@1:0] [default@0:]"},
        {"no_final_newline.obj", 0, "1 2 3 [ last@1:] [default@1:0]"},
        {"bare_group_at_end.obj", 0, "1 2 3 [@0:] [default@0:0]"},
        {"empty.obj", 0, " [default@0:]"},
        {"line_element.obj", 0, "1 2 3 [default@0:0]"},
        {"line_5000_characters.obj", 0, "1 2 3 [ " + std::string(126, 'a') + "@0:0] [default@0:]"},
        {"mixed_vn_and_vt_faces.obj", 0, "1//1 2//1 3//1,2/2 4/1 3/3 [default@0:0,1]"},
        {"newmtl_without_name.obj", 0, "1 2 3 [default@2:0]"},
        {"usemtl_without_name.obj", 0,
         "1 2 3 [default@0:0] [out] glmFindMaterial():  can't find material \"\".\n"},
        // A usemtl name is the line's first 127 characters less the blank.
        {"token_300_characters.obj", 0,
         "1 2 3 [default@0:0] [out] glmFindMaterial():  can't find material \"" +
             std::string(126, 'x') + "\".\n"},
        // A name ends at its first NUL byte; other bytes are kept as they are.
        {"non_ascii_and_nul_bytes.obj", 0, "1 2 3,1 2 3 [ ab@0:1] [ caf\xc3\xa9@0:0] [default@0:]"},
        {"face_300_corners.obj", 0, fan + " [default@0:" + members + "]"},
    };
    for (const auto& [fixture, line, text] : cases) {
        notices.clear();
        std::string expected = line == 0 ? text
                                         : "[err] glmReadOBJ() failed: " + F + fixture + ":" +
                                               std::to_string(line) + ": " + text + "\n";
        ModelPtr m(nullptr, glmDeleteModel);
        EXPECT_EQ(outcome([&, &fixture = fixture] {
                      m.reset(glmReadOBJ((F + fixture).c_str()));
                      return summary(m.get());
                  }),
                  expected)
            << fixture;
        if (m) { // prepared as the demo prepares it, under the sanitizers too
            glmScaleToUnit(m.get());
            glmVertexNormals(m.get(), 90.0f);
        }
    }
}

// `text` is one whole number to sscanf's "%f": ours reads all of it to the same "%a" spelling.
void expectAsScanf(const std::string& text) {
    float expected = 0.0f;
    int length = -1;
    ASSERT_EQ(std::sscanf(text.c_str(), "%f%n", &expected, &length), 1) << text;
    ASSERT_EQ(length, static_cast<int>(text.size())) << "not one whole number: " << text;
    auto actual = scanFloatAt(text.data(), text.data() + text.size());
    char want[64], got[64];
    std::snprintf(want, sizeof want, "%a from %zu", static_cast<double>(expected), text.size());
    std::snprintf(got, sizeof got, "%a from %zu", static_cast<double>(actual.value), actual.length);
    EXPECT_STREQ(got, want) << text;
}

TEST(Numbers, FloatsReadAsScanf) {
    std::istringstream special(
        "0 -0 +0 1 +1.5 -2.25 3. .5 -.5 1e3 1E-3 +1e+3 0.1 0.30000001 3.4028235e38 3.4028236e38 "
        "1e40 -1e40 1e-45 1e-46 -1e-50 7.0064923e-46 1.17549435e-38 16777217 16777219 "
        "0.000000000000000000000000000000000000000000001 123456789012345678901234567890 "
        "2.5000000000000000000000000000001e-1 1.00000005960464477539062500000000000001 "
        "1.000000059604644775390625 inf -INF infinity +Infinity nan -nan NaN 0x1p3 0x1P3 -0x1.8p1 "
        "0X.8 0x1p200 0x1p-200 0x.00000000000000000000000000000000000000000000000001p10 0xFFp-4 "
        "0x1" +
        std::string(199, '0') + "p-950");
    for (std::string text; special >> text;) {
        expectAsScanf(text);
    }
    std::mt19937 random(7);
    for (int i = 0; i < 20000 && !HasFailure(); ++i) {
        std::string text = random() % 2 ? "-" : "";
        for (unsigned k = 0, n = 1 + random() % 20, point = random() % (n + 1); k < n; ++k) {
            text.append(k == point ? "." : "").append(std::to_string(random() % 10));
        }
        expectAsScanf(random() % 2 ? text + "e" + std::to_string(int(random() % 96) - 50) : text);
    }
}

// The longest prefix that forms a number, as "%d" and as "%f"; text that forms none is not
// consumed. Unlike glibc's scanf, which leaves it, strtof reads a NaN's parenthesised tail. An
// integer longer than any index saturates instead of wrapping.
TEST(Numbers, LongestPrefixThatFormsANumber) {
    const std::int64_t cap = std::int64_t{1} << 62;
    const std::string nines(400, '9'), minus = "-" + nines.substr(370);
    // Text, then "%d" length and value, then "%f" length.
    std::vector<std::tuple<std::string, std::size_t, std::int64_t, std::size_t>> cases = {
        {"12", 2, 12, 2},
        {"+7", 2, 7, 2},
        {"-3", 2, -3, 2},
        {"007", 3, 7, 3},
        {"5/6", 1, 5, 1},
        {"1e+x", 1, 1, 1},
        {"0xg", 1, 0, 1},
        {"2.5/", 1, 2, 3},
        {"nan(123)", 0, 0, 8},
        {nines, 400, cap, 400},
        {minus, 31, -cap, 31},
        {"4294967297", 10, 4294967297, 10},
        {"123456789012345", 15, 123456789012345, 15}};
    for (const char* none : {"x", "-", "+-1", "--1", ".", "e5", "", "+", "/1"}) {
        cases.emplace_back(none, 0, 0, 0);
    }
    for (const auto& [text, length, value, floatLength] : cases) {
        auto i = scanIntAt(text.data(), text.data() + text.size());
        auto f = scanFloatAt(text.data(), text.data() + text.size());
        EXPECT_TRUE(i.length == length && i.value == value && f.length == floatLength)
            << text << ": wanted " << value << " from " << length << " and " << floatLength
            << " characters, got " << i.value << " from " << i.length << " and " << f.length;
    }
    // Where floating-point from_chars is missing, strtof reads hex digits as it would.
    for (std::string digits : {"1p3", "1P-3", "1.8p+1", ".8", "8.", "ffp-200", "1p200", "1p", "1p+",
                               "1.8q", "g", "1p-149", "1p-150", "1.fffffep127"}) {
        const char* q = digits.data();
        HexDigits expected{q, std::errc(), 0.0f};
        const auto read =
            std::from_chars(q, q + digits.size(), expected.value, std::chars_format::hex);
        const HexDigits actual = hexByStrtof(q, q + digits.size());
        EXPECT_TRUE(actual.ptr == read.ptr && actual.ec == read.ec &&
                    (read.ec != std::errc() || actual.value == expected.value))
            << "0x" << digits << ": " << actual.ptr - q << " characters, " << actual.value;
    }
    // "0x." alone is the number 0, read without a byte past its end.
    const Fenced hex("0x.", 3);
    EXPECT_EQ(scanFloatAt(hex.data, hex.data + 3).length, 1u);
    // Every byte value in every place of 16: the byte-by-byte classes are the vector ones.
    for (int c = 0; c < 256; ++c) {
        for (int at = 0; at < 16; ++at) {
            std::string block = "0 a.\t/\n9\r\x7f-+Z ,\x80";
            block[static_cast<std::size_t>(at)] = static_cast<char>(c);
            const ByteClasses v = classify16(block.data()), b = classify16Bytes(block.data());
            ASSERT_TRUE(v.blank == b.blank && v.low == b.low && v.digit == b.digit &&
                        v.dot == b.dot && v.slash == b.slash && v.newline == b.newline)
                << "byte " << c << " at " << at;
        }
    }
    // Runs of 1 to 18 digits before any byte, read a word at a time, end where the digits do.
    for (std::size_t digits = 1; digits <= 18; ++digits) {
        for (int c = 0; c < 256; ++c) {
            std::string text = std::string(digits, '7') + static_cast<char>(c) + "99999999";
            auto r = scanIntAt(text.data(), text.data() + text.size());
            ASSERT_TRUE((c >= '0' && c <= '9') || r.length == digits) << digits << " " << c;
        }
    }
}

// Elements 1 to count to four digits, -0 as 0: directions tell apart, rounding does not.
std::string vecs(const Vec3* list, std::uint32_t count) {
    auto c = [](float f) { return f == 0.0f ? 0.0 : static_cast<double>(f); };
    std::string text;
    for (std::uint32_t i = 1; i <= count; ++i) {
        char v[64];
        std::snprintf(v, sizeof v, " (%.4g %.4g %.4g)", c(list[i].x), c(list[i].y), c(list[i].z));
        text += v;
    }
    return text;
}

// Quoted text reaches a terminal as it stands when it is printable ASCII or well-formed UTF-8;
// any other byte, overlong forms, surrogates and code points past U+10FFFF included, as \xNN.
TEST(Messages, QuotedTextKeepsUtf8AndEscapesEveryOtherByte) {
    const std::pair<std::string, std::string> cases[] = {
        {"a \"b\" ~", "a \"b\" ~"},
        {"\x01\t\x7F", "\\x01\\x09\\x7F"},
        {std::string("a\0b", 3), "a"},
        {"\xC3\xA9 \xC2\x80", "\xC3\xA9 \xC2\x80"},
        {"\xC1\xBF", "\\xC1\\xBF"},
        {"\xC3", "\\xC3"},
        {"\xC3x", "\\xC3x"},
        {"\xE0\x9F\xBF|\xE0\xA0\x80", "\\xE0\\x9F\\xBF|\xE0\xA0\x80"},
        {"\xED\x9F\xBF|\xED\xA0\x80", "\xED\x9F\xBF|\\xED\\xA0\\x80"},
        {"\xF0\x8F\xBF\xBF|\xF0\x90\x80\x80", "\\xF0\\x8F\\xBF\\xBF|\xF0\x90\x80\x80"},
        {"\xF4\x8F\xBF\xBF|\xF4\x90\x80\x80", "\xF4\x8F\xBF\xBF|\\xF4\\x90\\x80\\x80"},
        {"\xF5\x80\x80\x80", "\\xF5\\x80\\x80\\x80"},
        {"\xE2\x82", "\\xE2\\x82"},
        {"\xF0\x9F\x98", "\\xF0\\x9F\\x98"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(cText(text), expected)
            << json(text).dump(-1, ' ', true, json::error_handler_t::replace);
    }
}

TEST_F(Model, ScaleCentresTheBoxAndFitsItsLargestDimensionIntoTwo) {
    const std::tuple<std::string, double, std::string> cases[] = {
        {"v -1 -0.5 0\nv 3 1.5 0.25\n", 0.5, " (-1 -0.5 -0.0625) (1 0.5 0.0625)"},
        {"v 1 0 0\nv 3 0 0\n", 0.5, " (-0.5 0 0) (0.5 0 0)"},            // |3| + |1|, not 3 - 1
        {"v 0 0 -2\nv 1 1 2\n", 0.5, " (-0.25 -0.25 -1) (0.25 0.25 1)"}, // deepest along z
        {"", 1.0, ""},
        {"v 0 0 0\nv 0 -0 0\n", 1.0, " (0 0 0) (0 0 0)"},
        // The largest dimension overflows a float and is taken in double precision.
        {"v 3.4e38 -3.4e38 0\nv -3.4e38 3.4e38 0\n", 1 / static_cast<double>(3.4e38f),
         " (1 -1 0) (-1 1 0)"},
    };
    for (const auto& [text, scale, vertices] : cases) {
        auto m = read(text);
        double actual = glmScaleToUnit(m.get());
        std::string moved = vecs(m->vertices, m->vertexCount);
        EXPECT_TRUE(actual == scale && moved == vertices)
            << text << "wanted " << scale << " " << vertices << ", got " << actual << " " << moved;
    }
}

// Corners' normal indices | facet normals | normals, then any notices.
std::string normalsOf(const GlmModel* m) {
    std::string text;
    for (std::uint32_t c = 0; c < 3 * m->triangleCount; ++c) {
        text += std::string(c > 0, c % 3 ? ' ' : ',') +
                std::to_string(m->triangles[c / 3].normalIndex[c % 3]);
    }
    text +=
        " |" + vecs(m->facetNormals, m->facetNormalCount) + " |" + vecs(m->normals, m->normalCount);
    return text + (Model::notices.empty() ? "" : " " + Model::notices);
}

// Smooths a model that has no facet normals yet.
void expectSmoothing(const std::vector<std::tuple<std::string, float, std::string>>& cases) {
    for (const auto& [text, angle, expected] : cases) {
        Model::notices.clear();
        auto m = read(text);
        glmVertexNormals(m.get(), angle);
        EXPECT_EQ(normalsOf(m.get()), expected) << text << "at " << angle << " degrees";
    }
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
const std::string kUp = "1 2 3 | (0 0 1) | (0 0 1) (0 0 1) (0 0 1)";

TEST_F(Model, Smoothing) {
    expectSmoothing({
        {kTriangle + "vn 1 0 0\nvn 1 0 0\nf 1//2 2//2 3//2\n", 90, kUp}, // read ones are replaced
        // Away from the origin: each side is a difference of corners in every coordinate.
        {"v 0 1 0\nv 1 2 0\nv 0 1 1\nf 1 2 3\n", 90,
         "1 2 3 | (0.7071 -0.7071 0) | (0.7071 -0.7071 0) (0.7071 -0.7071 0) (0.7071 -0.7071 0)"},
        // The same in double, where the float cross product overflows.
        {"v 0 1e38 0\nv 3e38 1e38 0\nv 0 1e38 3e38\nf 1 2 3\n", 90,
         "1 2 3 | (0 -1 0) | (0 -1 0) (0 -1 0) (0 -1 0)"},
        {"v 9 9 9\n" + kTriangle + "f 2 3 4\n", 90,
         kUp + " [err] glmVertexNormals(): vertex w/o a triangle\n"},
        // Exactly 90 degrees apart: the dot product 0 is above cos(90) (-4.37e-8), so averaged.
        {kTriangle + "v 0 0 1\nf 1 2 3\nf 1 4 2\n", 90,
         "1 2 3,1 4 2 | (0 0 1) (0 1 0) | (0 0.7071 0.7071) (0 0.7071 0.7071) (0 0 1) (0 1 0)"},
        // A vertex's list runs from the last triangle back, the first entry being the reference;
        // the average is numbered before the copies of facet normals outside the crease.
        {kTriangle + "v 0 -0.5 0.8660254\nf 1 2 3\nf 1 2 4\n", 90,
         "2 4 5,1 3 6 | (0 0 1) (0 -0.866 -0.5) | (0 -0.866 -0.5) (0 0 1) (0 -0.866 -0.5) (0 0 1) "
         "(0 0 1) (0 -0.866 -0.5)"},
    });
}

TEST_F(Model, DegenerateModels) {
    // A hand-built triangle naming no vertex gets the zero facet normal, the others their own.
    auto m = read(kTriangle + "f 1 2 3\nf 1 2 3\n");
    m->triangles[1].vertexIndex[0] = 0;
    glmFacetNormals(m.get());
    const Vec3* f = m->facetNormals;
    EXPECT_TRUE(f[1].x == 0 && f[1].y == 0 && f[1].z == 1 && f[2].x == 0 && f[2].y == 0 &&
                f[2].z == 0);
    expectSmoothing({
        {"", 90, " | |"},
        // A zero-area triangle's facet normal is zero, and so is an average of only such.
        {"v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n", 90, "1 2 3 | (0 0 0) | (0 0 0) (0 0 0) (0 0 0)"},
        // As the reference, a zero normal admits every triangle without changing the average.
        {kTriangle + "v 2 0 0\nf 1 2 3\nf 1 2 4\n", 90,
         "1 2 3,1 2 4 | (0 0 1) (0 0 0) | (0 0 1) (0 0 1) (0 0 1) (0 0 0)"},
        // A triangle naming a vertex twice gets a normal in every slot, each its own entry's.
        {kTriangle + "f 1 1 2\nf 1 3 2\n", 30,
         "3 2 5,1 6 4 | (0 0 0) (0 0 -1) | (0 0 -1) (0 0 0) (0 0 0) (0 0 -1) (0 0 0) (0 0 -1)"},
        // Corners far apart overflow the float cross product; it is redone in double.
        {"v 3.4e38 -3.4e38 0\nv -3.4e38 3.4e38 0\nv 3.4e38 3.4e38 0\nf 1 2 3\n", 90,
         "1 2 3 | (0 0 -1) | (0 0 -1) (0 0 -1) (0 0 -1)"},
        {"v 3.4e38 0 0\nv 0 3.4e38 0\nv 0 0 3.4e38\nf 1 2 3\n", 90,
         "1 2 3 | (0.5774 0.5774 0.5774) | (0.5774 0.5774 0.5774) (0.5774 0.5774 0.5774) "
         "(0.5774 0.5774 0.5774)"},
    });
}

TEST_F(Model, Winding) {
    const std::string cube = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\n"
                             "v 1 1 1\nv -1 1 1\n";
    // Turning counter-clockwise seen from outside, all but the last face.
    const std::string out = cube + "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 4 8 7 3\nf 1 5 8 4\n";
    const char* open = "open";
    const std::pair<std::string, std::string> cases[] = {
        {out + "f 2 3 7 6\n", "ccw"},
        {cube + "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 4 3 7 8\nf 1 4 8 5\nf 2 6 7 3\n", "cw"},
        {out, open},                             // a hole
        {out + "f 2 3 7\nf 2 6 7\n", "mixed"},   // a flipped triangle
        {out + "f 2 3 7 6\nf 2 3 7\n", "mixed"}, // a doubled triangle
        {out + "f 2 3 7 6\n" + out.substr(cube.size()) + "f 2 3 7 6\n", "mixed"}, // all doubled
        {out + "f 2 3 7 6\nv 5 5 5\nf 9 9 1\n", open},     // a repeated corner
        {kTriangle + "f 1 2 3\nf 1 3 2\n", open},          // closed, enclosing no volume
        {kTriangle + "v 0 0 1\nf 1 2 3\nf 1 4 2\n", open}, // as many edges in as out, not reversed
        {"", open},
    };
    for (const auto& [text, winding] : cases) { // glmWinding, named as the inspector prints it
        EXPECT_EQ(objinfoWinding(read(text).get()), winding) << text;
    }
    // A hand-built model naming a vertex it does not have is open, not measured past its end.
    auto beyond = read(out + "f 2 3 7 6\n");
    beyond->vertexCount = 7;
    EXPECT_EQ(glmWinding(beyond.get()), GlmWinding::Open);
    // Vertices enough for megabytes of counters, twice: the second call's counters start at
    // zero too, though their memory may be the first call's.
    std::string many = out + "f 2 3 7 6\n";
    for (int i = 0; i < 300000; ++i) {
        many += "v 0 0 0\n";
    }
    auto big = read(many);
    EXPECT_EQ(glmWinding(big.get()), GlmWinding::CounterClockwise);
    EXPECT_EQ(glmWinding(big.get()), GlmWinding::CounterClockwise);
}

TEST_F(Model, ReportListsWhatWasReadAndPrepared) {
    files["dir/lib.mtl"] = "newmtl red\nKd 0.1 0.2 0.3\n";
    // A counter-clockwise tetrahedron in four formats, in a group named with every kind of byte.
    auto m = read("mtllib lib.mtl\nv 0 0 0\nv 0.3 0 0\nv 0 0.7 0\nv 0 0 1e-7\nvt 0 0\n"
                  "vn 0 0 1\ng a\"b\\c\x01\xff\xc3\xa9\nusemtl red\nf 1 3 2\nf 1/1 2/1 4/1\n"
                  "f 1//1 4//1 3//1\nf 2/1/1 3/1/1 4/1/1\n");
    std::string text = objinfoReport(m.get(), true);
    json r = json::parse(text), prepared = r["prepared"];
    // Plain ASCII whatever the bytes, one outside UTF-8 as U+FFFD; floats in their shortest
    // spelling (0.1f as 0.1, not 0.10000000149011612); the normals counted as read.
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; }));
    EXPECT_EQ(r["path"], "dir/model.obj");
    EXPECT_EQ(r["materialLibrary"], "lib.mtl");
    EXPECT_EQ(r["groups"][0], json::parse(R"({"name": " a\"b\\c\u0001\ufffd\u00e9",
                                              "triangles": [0, 1, 2, 3], "material": 1})"));
    EXPECT_EQ(r["materials"][1]["diffuse"], json::parse("[0.1, 0.2, 0.3, 1]"));
    EXPECT_EQ(r["counts"]["normals"], 1);
    EXPECT_EQ(r["triangles"], json::parse(R"([
        {"vertex": [1, 3, 2], "texCoord": null, "normal": null},
        {"vertex": [1, 2, 4], "texCoord": [1, 1, 1], "normal": null},
        {"vertex": [1, 4, 3], "texCoord": null, "normal": [1, 1, 1]},
        {"vertex": [2, 3, 4], "texCoord": [1, 1, 1], "normal": [1, 1, 1]}])"));
    EXPECT_EQ(prepared["scale"], 2 / static_cast<double>(0.7f));
    EXPECT_EQ(prepared["winding"], "ccw");
    // The model is prepared in place: the printed numbers read back to its very floats.
    const Vec3 &v = m->vertices[2], &f = m->facetNormals[4];
    EXPECT_EQ(prepared["vertices"][1].get<Floats>(), (Floats{v.x, v.y, v.z}));
    EXPECT_EQ(prepared["facetNormals"].back().get<Floats>(), (Floats{f.x, f.y, f.z}));
    EXPECT_TRUE(prepared["facetNormals"].size() == 4 && prepared["triangleNormals"].size() == 4 &&
                prepared["normals"].size() == m->normalCount);
}

} // namespace
