#include "model_test_support.h"

#include <cstring>

namespace {

using Reader = ModelTest;

void expectTriple(const std::uint32_t* actual, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    EXPECT_EQ(actual[0], a);
    EXPECT_EQ(actual[1], b);
    EXPECT_EQ(actual[2], c);
}

const char* kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

TEST_F(Reader, PlainQuadFansIntoTwoTriangles) {
    auto m = read(std::string(kSquare) + "f 1 2 3 4\n");
    ASSERT_EQ(m->triangleCount, 2u);
    expectTriple(m->triangles[0].vertexIndex, 1, 2, 3);
    expectTriple(m->triangles[1].vertexIndex, 1, 3, 4);
    // Triples the format does not carry are 0.
    expectTriple(m->triangles[1].normalIndex, 0, 0, 0);
    expectTriple(m->triangles[1].texCoordIndex, 0, 0, 0);
    EXPECT_EQ(m->vertexCount, 4u);
    EXPECT_EQ(m->vertices[3].x, 1.0f);
    EXPECT_EQ(m->vertices[3].y, 1.0f);
    EXPECT_EQ(m->normals, nullptr);
    EXPECT_EQ(m->texCoords, nullptr);
    EXPECT_EQ(m->facetNormals, nullptr);
    EXPECT_EQ(m->materials, nullptr);
    EXPECT_EQ(m->materialLibrary, nullptr);
    EXPECT_STREQ(m->path, "dir/model.obj");
}

TEST_F(Reader, FullCornersCarryTextureAndNormalAlongTheFan) {
    std::string text = std::string(kSquare);
    for (int i = 0; i < 14; ++i) {
        text += "vt 0.5 0.25\n";
    }
    for (int i = 0; i < 24; ++i) {
        text += "vn 0 0 1\n";
    }
    auto m = read(text + "f 1/11/21 2/12/22 3/13/23 4/14/24\n");
    ASSERT_EQ(m->triangleCount, 2u);
    expectTriple(m->triangles[1].vertexIndex, 1, 3, 4);
    expectTriple(m->triangles[1].texCoordIndex, 11, 13, 14);
    expectTriple(m->triangles[1].normalIndex, 21, 23, 24);
    EXPECT_EQ(m->texCoords[2 * 14], 0.5f);
    EXPECT_EQ(m->texCoords[2 * 14 + 1], 0.25f);
}

TEST_F(Reader, VertexNormalCornersLeaveTextureUnset) {
    std::string text = kSquare;
    for (int i = 0; i < 8; ++i) {
        text += "vn 0 0 1\n";
    }
    auto m = read(text + "f 1//5 2//6 3//7 4//8\n");
    ASSERT_EQ(m->triangleCount, 2u);
    expectTriple(m->triangles[1].vertexIndex, 1, 3, 4);
    expectTriple(m->triangles[1].normalIndex, 5, 7, 8);
    expectTriple(m->triangles[1].texCoordIndex, 0, 0, 0);
}

TEST_F(Reader, VertexTextureCorners) {
    std::string text = std::string(kSquare) + "vt 0 0\nvt 1 0\nvt 1 1\n";
    auto m = read(text + "f 1/3 2/2 3/1\n");
    expectTriple(m->triangles[0].texCoordIndex, 3, 2, 1);
    expectTriple(m->triangles[0].normalIndex, 0, 0, 0);
}

TEST_F(Reader, NoGroupLineMeansOneDefaultGroupInFileOrder) {
    auto m = read(std::string(kSquare) + "f 1 2 3\nf 1 3 4\nf 2 3 4\n");
    ASSERT_EQ(m->groupCount, 1u);
    EXPECT_STREQ(m->groups->name, "default");
    ASSERT_EQ(m->groups->triangleCount, 3u);
    EXPECT_EQ(m->groups->triangles[0], 0u);
    EXPECT_EQ(m->groups->triangles[2], 2u);
    EXPECT_EQ(m->groups->next, nullptr);
}

TEST_F(Reader, GroupsKeepLeadingBlankAndListNewestFirst) {
    auto m = read(std::string(kSquare) +
                  "f 1 2 3\ng a\nf 1 3 4\ng b\nf 2 3 4\ng a\nf 1 2 4\ng default\nf 1 2 3\n");
    EXPECT_EQ(groupNames(m.get()), (std::vector<std::string>{" default", " b", " a", "default"}));
    GlmGroup* a = glmFindGroup(m.get(), " a");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->triangleCount, 2u);
    EXPECT_EQ(a->triangles[0], 1u);
    EXPECT_EQ(a->triangles[1], 3u);
    EXPECT_EQ(glmFindGroup(m.get(), "a"), nullptr);
    EXPECT_EQ(m->groupCount, 4u);
}

TEST_F(Reader, BareGroupLineNamesTheEmptyGroupAndTabsStay) {
    auto m = read(std::string(kSquare) + "g\nf 1 2 3\ng\t two words \nf 1 3 4\n");
    EXPECT_EQ(groupNames(m.get()), (std::vector<std::string>{"\t two words ", "", "default"}));
}

TEST_F(Reader, VertexLineWithFourValuesKeepsThree) {
    auto m = read("v 1 2 3 1\nv 4 5 6\nf 1 2 1\n");
    ASSERT_EQ(m->vertexCount, 2u);
    EXPECT_EQ(m->vertices[1].x, 1.0f);
    EXPECT_EQ(m->vertices[1].z, 3.0f);
    EXPECT_EQ(m->vertices[2].x, 4.0f);
}

TEST_F(Reader, VpLineIsFatalOnStandardOutput) {
    GlmFatalError e = fatalOf([] { read("v 1 2 3\nvp 0.5\nf 1 1 1\n"); });
    EXPECT_EQ(e.stream, GlmStream::Out);
    EXPECT_STREQ(e.what(), "glmFirstPass(): Unknown token \"vp\".\n");
}

TEST_F(Reader, UsemtlWithoutLibraryNoticesAndUsesMaterialZero) {
    auto m = read(std::string(kSquare) + "usemtl hull\nf 1 2 3\n");
    ASSERT_EQ(notices().size(), 1u);
    EXPECT_EQ(notices()[0].stream, GlmStream::Out);
    EXPECT_EQ(notices()[0].text, "glmFindMaterial():  can't find material \"hull\".\n");
    EXPECT_EQ(m->groups->material, 0u);
}

TEST_F(Reader, UsemtlTakesTheSecondOfTwoWords) {
    files()["dir/lib.mtl"] = "newmtl hull\nnewmtl glass\n";
    auto m = read(std::string(kSquare) + "mtllib lib.mtl\ng ship\nusemtl x glass\nf 1 2 3\n");
    EXPECT_TRUE(notices().empty()) << joinedNotices();
    EXPECT_EQ(glmFindGroup(m.get(), " ship")->material, 2u);
    EXPECT_STREQ(m->materialLibrary, "lib.mtl");
}

TEST_F(Reader, GroupLineTakesTheCurrentMaterial) {
    files()["dir/lib.mtl"] = "newmtl hull\nnewmtl glass\n";
    auto m = read(std::string(kSquare) +
                  "mtllib lib.mtl\nusemtl glass\ng a\nf 1 2 3\ng b\nusemtl hull\nf 1 2 3\n");
    EXPECT_EQ(glmFindGroup(m.get(), "default")->material, 2u);
    EXPECT_EQ(glmFindGroup(m.get(), " a")->material, 2u);
    EXPECT_EQ(glmFindGroup(m.get(), " b")->material, 1u);
}

TEST_F(Reader, SecondMtllibReplacesTheFirstTable) {
    files()["dir/one.mtl"] = "newmtl a\nnewmtl b\nnewmtl c\n";
    files()["dir/two.mtl"] = "newmtl z\n";
    auto m = read("mtllib one.mtl\nmtllib two.mtl\n");
    ASSERT_EQ(m->materialCount, 2u);
    EXPECT_STREQ(m->materials[0].name, "default");
    EXPECT_STREQ(m->materials[1].name, "z");
    EXPECT_STREQ(m->materialLibrary, "two.mtl");
}

TEST_F(Reader, AnyTokenStartingWithMReadsALibrary) {
    GlmFatalError e = fatalOf([] { read("mg first second third\n"); });
    EXPECT_EQ(e.stream, GlmStream::Err);
    EXPECT_STREQ(e.what(), "glmReadMTL() failed: can't open material file \"dir/second\".\n");
}

TEST_F(Reader, MissingObjFileIsFatalOnStandardError) {
    GlmFatalError e = fatalOf([] { readFile("no/such.obj"); });
    EXPECT_EQ(e.stream, GlmStream::Err);
    EXPECT_STREQ(e.what(), "glmReadOBJ() failed: can't open data file \"no/such.obj\".\n");
}

TEST_F(Reader, LibraryIsLookedUpBesideTheObjOrInTheWorkingDirectory) {
    files()["data/lego.mtl"] = "newmtl brick\n";
    auto m = read("mtllib lego.mtl\n", "data/lego.obj");
    EXPECT_EQ(m->materialCount, 2u);
    files().clear();
    files()["lego.mtl"] = "";
    auto bare = read("mtllib lego.mtl\n", "lego.obj");
    EXPECT_EQ(bare->materialCount, 1u);
}

TEST_F(Reader, NegativeIndicesCountBackFromTheLatestElement) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 1 1 0\nf -3 -2 -1\nv 0 1 0\nvn 0 0 1\nf -4//1 -2//-1 "
                  "-1//1\n");
    expectTriple(m->triangles[0].vertexIndex, 1, 2, 3);
    expectTriple(m->triangles[1].vertexIndex, 1, 3, 4);
    expectTriple(m->triangles[1].normalIndex, 1, 1, 1);
}

TEST_F(Reader, ForwardReferencesWithinTheFileAreAllowed) {
    auto m = read("f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n");
    expectTriple(m->triangles[0].vertexIndex, 1, 2, 3);
}

TEST_F(Reader, FaceCornersMayFollowOnLaterLines) {
    // scanf skips line ends between corners; the next keyword ends the face.
    auto m = read(std::string(kSquare) + "f 1\n2\n3 4\nf 1 2 3\n");
    ASSERT_EQ(m->triangleCount, 3u);
    expectTriple(m->triangles[1].vertexIndex, 1, 3, 4);
}

TEST_F(Reader, CommentsAndUnknownStatementsAreSkipped) {
    auto m = read(std::string("# f 1 2 3\ns off\no thing\n") + kSquare + "l 1 2\nf 1 2 3\n");
    EXPECT_EQ(m->triangleCount, 1u);
    EXPECT_TRUE(notices().empty());
}

TEST_F(Reader, LongCommentTailIsReadAsTokens) {
    // The rest of a line is read 127 characters at a time; the remainder is more tokens.
    std::string comment = "# " + std::string(126, 'x') + " f 1 2 3\n";
    auto m = read(std::string(kSquare) + comment);
    EXPECT_EQ(m->triangleCount, 1u);
    std::string shorter = "# " + std::string(100, 'x') + " f 1 2 3\n";
    EXPECT_EQ(read(std::string(kSquare) + shorter)->triangleCount, 0u);
}

TEST_F(Reader, GroupNameLosesOnlyARealLineEnd) {
    // 126 characters and "\r\n" fit the 127 (text mode counts "\r\n" as one); 127
    // characters fill the buffer and the line end stays behind: no character is lost.
    std::string fits = " " + std::string(125, 'a');
    std::string full = " " + std::string(126, 'b');
    auto m = read("g" + fits + "\r\ng" + full + "\n");
    EXPECT_EQ(groupNames(m.get()), (std::vector<std::string>{full, fits, "default"}));
}

TEST_F(Reader, FindOrAddGroupAddsAtTheHead) {
    auto m = read("");
    GlmGroup* added = glmFindOrAddGroup(m.get(), "x");
    EXPECT_EQ(m->groups, added);
    EXPECT_EQ(glmFindOrAddGroup(m.get(), "x"), added);
    EXPECT_EQ(m->groupCount, 2u);
    EXPECT_EQ(added->triangleCount, 0u);
    EXPECT_EQ(added->triangles, nullptr);
}

TEST_F(Reader, FindMaterialReturnsFirstMatchOrZeroWithNotice) {
    files()["dir/lib.mtl"] = "newmtl a\nnewmtl a\nnewmtl b\n";
    auto m = read("mtllib lib.mtl\n");
    EXPECT_EQ(glmFindMaterial(m.get(), "a"), 1u);
    EXPECT_EQ(glmFindMaterial(m.get(), "b"), 3u);
    EXPECT_TRUE(notices().empty());
    EXPECT_EQ(glmFindMaterial(m.get(), "B"), 0u);
    EXPECT_EQ(joinedNotices(), "[out] glmFindMaterial():  can't find material \"B\".\n");
}

TEST_F(Reader, DirectoryOfKeepsTheLastSlashOnly) {
    EXPECT_EQ(glmDirectoryOf("data/lego.obj"), "data/");
    EXPECT_EQ(glmDirectoryOf("a/b/c.obj"), "a/b/");
    EXPECT_EQ(glmDirectoryOf("lego.obj"), "");
    EXPECT_EQ(glmDirectoryOf("data\\lego.obj"), "");
}

TEST_F(Reader, ReadsFromTheFileSystem) {
    glmSetFileSource(nullptr);
    auto m = readFile(VELMORA_SOURCE_DIR "/tests/model/fixtures/cube_with_materials.obj");
    EXPECT_EQ(m->vertexCount, 8u);
    EXPECT_EQ(m->triangleCount, 12u);
    EXPECT_EQ(m->materialCount, 3u);
    EXPECT_STREQ(m->materials[2].name, "blue");
    EXPECT_TRUE(notices().empty()) << joinedNotices();
}

} // namespace
