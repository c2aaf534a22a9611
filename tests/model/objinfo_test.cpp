#include "tools/objinfo/objinfo.h"

#include "model_test_support.h"

#include <nlohmann/json.hpp>

namespace {

using Objinfo = ModelTest;
using nlohmann::json;

const char* kCube = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                    "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n";
// Faces turning counter-clockwise seen from outside: facet normals point out.
const char* kCubeFacesOut = "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 4 8 7 3\nf 1 5 8 4\nf 2 3 7 6\n";
const char* kCubeFacesIn = "f 1 2 3 4\nf 5 8 7 6\nf 1 5 6 2\nf 4 3 7 8\nf 1 4 8 5\nf 2 6 7 3\n";

TEST_F(Objinfo, ClosedMeshWithOutwardNormalsIsCounterClockwise) {
    auto m = read(std::string(kCube) + kCubeFacesOut);
    EXPECT_STREQ(objinfoWinding(m.get()), "ccw");
}

TEST_F(Objinfo, ClosedMeshWithInwardNormalsIsClockwise) {
    auto m = read(std::string(kCube) + kCubeFacesIn);
    EXPECT_STREQ(objinfoWinding(m.get()), "cw");
}

TEST_F(Objinfo, MeshWithAHoleOrAFlippedFaceIsOpen) {
    std::string faces = kCubeFacesOut;
    auto holed = read(std::string(kCube) + faces.substr(0, faces.rfind("f ")));
    EXPECT_STREQ(objinfoWinding(holed.get()), "open");
    // One face turned the other way: its edges run the same direction as their neighbours'.
    auto flipped = read(std::string(kCube) + faces.substr(0, faces.rfind("f ")) + "f 2 6 7 3\n");
    EXPECT_STREQ(objinfoWinding(flipped.get()), "open");
    auto empty = read("");
    EXPECT_STREQ(objinfoWinding(empty.get()), "open");
}

TEST_F(Objinfo, DoubleSidedSheetEnclosesNothingAndIsOpen) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 3 2\n");
    EXPECT_STREQ(objinfoWinding(m.get()), "open");
}

TEST_F(Objinfo, ReportListsWhatWasReadAndPrepared) {
    files()["dir/lib.mtl"] = "newmtl red\nKd 0.1 0.2 0.3\nNs 1000\n";
    auto m =
        read(std::string("mtllib lib.mtl\n") + kCube + "vt 0 0\nvn 0 0 1\ng box\nusemtl red\n" +
             kCubeFacesOut + "f 1/1 2/1 3/1\nf 1//1 2//1 3//1\n");
    json report = json::parse(objinfoReport(m.get(), true));
    EXPECT_EQ(report["path"], "dir/model.obj");
    EXPECT_EQ(report["materialLibrary"], "lib.mtl");
    EXPECT_EQ(report["counts"]["vertices"], 8);
    EXPECT_EQ(report["counts"]["normals"], 1); // as read, before the normals are rebuilt
    EXPECT_EQ(report["counts"]["texCoords"], 1);
    EXPECT_EQ(report["counts"]["triangles"], 14);
    EXPECT_EQ(report["groups"][0]["name"], " box");
    EXPECT_EQ(report["groups"][0]["material"], 1);
    EXPECT_EQ(report["groups"][0]["triangles"].size(), 14u);
    EXPECT_EQ(report["groups"][1]["name"], "default");
    EXPECT_EQ(report["materials"][1]["name"], "red");
    EXPECT_EQ(report["materials"][1]["diffuse"], json::parse("[0.1, 0.2, 0.3, 1.0]"));
    EXPECT_EQ(report["materials"][1]["shininess"], 128.0);
    EXPECT_EQ(report["triangles"][0]["texCoord"], nullptr);
    EXPECT_EQ(report["triangles"][0]["normal"], nullptr);
    EXPECT_EQ(report["triangles"][12]["texCoord"], json::parse("[1, 1, 1]"));
    EXPECT_EQ(report["triangles"][12]["normal"], nullptr);
    EXPECT_EQ(report["triangles"][13]["normal"], json::parse("[1, 1, 1]"));
    EXPECT_EQ(report["prepared"]["scale"], 1.0);
    EXPECT_EQ(report["prepared"]["winding"], "open"); // the two extra triangles
    EXPECT_EQ(report["prepared"]["vertices"].size(), 8u);
    EXPECT_EQ(report["prepared"]["facetNormals"].size(), 14u);
    EXPECT_EQ(report["prepared"]["normals"].size(), report["prepared"]["normalCount"]);
    EXPECT_EQ(report["prepared"]["triangleNormals"].size(), 14u);
}

TEST_F(Objinfo, FloatsReadBackToTheSameFloat) {
    auto m = read("v 0.1 0.7 -3\nv 1 0 0\nv 0.3 1 1e-7\nf 1 2 3\n");
    json report = json::parse(objinfoReport(m.get(), true));
    // The model is prepared in place: the printed numbers are its vertices.
    for (std::uint32_t i = 1; i <= 3; ++i) {
        const auto& v = report["prepared"]["vertices"][i - 1];
        EXPECT_EQ(static_cast<float>(v[0].get<double>()), m->vertices[i].x) << v;
        EXPECT_EQ(static_cast<float>(v[1].get<double>()), m->vertices[i].y) << v;
        EXPECT_EQ(static_cast<float>(v[2].get<double>()), m->vertices[i].z) << v;
    }
    // The shortest spelling: 0.8f as "0.8", not 0.800000011920929.
    files()["dir/m.mtl"] = "";
    auto withMaterial = read("mtllib m.mtl\n");
    std::string materials = objinfoReport(withMaterial.get(), false);
    EXPECT_NE(materials.find("0.8,"), std::string::npos) << materials;
    EXPECT_EQ(materials.find("0.800000"), std::string::npos) << materials;
}

TEST_F(Objinfo, AnyNameByteGivesValidJson) {
    std::string name = "g a\"b\\c\x01\xff\xc3\xa9\n";
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\n" + name + "f 1 2 3\n");
    std::string text = objinfoReport(m.get(), false);
    json report = json::parse(text); // throws on invalid JSON
    EXPECT_EQ(report["groups"][0]["name"], " a\"b\\c\x01\xef\xbf\xbd\xc3\xa9");
    for (unsigned char c : text) {
        EXPECT_LT(c, 0x80) << "output stays ASCII";
    }
}

} // namespace
