#include "model_test_support.h"

namespace {

using Mtl = ModelTest;

// Reads `library` as dir/lib.mtl through an OBJ that names it.
ModelTest::ModelPtr withLibrary(const std::string& library) {
    ModelTest::files()["dir/lib.mtl"] = library;
    return ModelTest::read("mtllib lib.mtl\n");
}

void expectColour(const float* c, float r, float g, float b, float a) {
    EXPECT_EQ(c[0], r);
    EXPECT_EQ(c[1], g);
    EXPECT_EQ(c[2], b);
    EXPECT_EQ(c[3], a);
}

TEST_F(Mtl, LibraryWithoutMaterialsHoldsDefaultOnly) {
    auto m = withLibrary("# nothing\n");
    ASSERT_EQ(m->materialCount, 1u);
    EXPECT_STREQ(m->materials[0].name, "default");
    expectColour(m->materials[0].diffuse, 0.8f, 0.8f, 0.8f, 1.0f);
    expectColour(m->materials[0].ambient, 0.2f, 0.2f, 0.2f, 1.0f);
    expectColour(m->materials[0].specular, 0.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(m->materials[0].shininess, 65.0f);
}

TEST_F(Mtl, StatementsBeforeTheFirstMaterialChangeDefault) {
    auto m = withLibrary("Kd 0.1 0.2 0.3\nnewmtl a\n");
    expectColour(m->materials[0].diffuse, 0.1f, 0.2f, 0.3f, 1.0f);
    expectColour(m->materials[1].diffuse, 0.8f, 0.8f, 0.8f, 1.0f);
}

TEST_F(Mtl, ShininessScalesFromThousandToOneHundredTwentyEight) {
    auto m = withLibrary("newmtl a\nNs 1000\nnewmtl b\nNs 0\nnewmtl c\nnewmtl d\nNs 500\n");
    EXPECT_EQ(m->materials[1].shininess, 128.0f);
    EXPECT_EQ(m->materials[2].shininess, 0.0f);
    EXPECT_EQ(m->materials[3].shininess, 65.0f);
    EXPECT_EQ(m->materials[4].shininess, 64.0f);
}

TEST_F(Mtl, AnyTokenStartingWithCapitalNSetsShininess) {
    auto m = withLibrary("newmtl a\nNs 1000\nNi 1.5\n");
    float expected = static_cast<float>(static_cast<float>(1.5f * 0.001) * 128.0);
    EXPECT_EQ(m->materials[1].shininess, expected);
    EXPECT_NEAR(m->materials[1].shininess, 0.192f, 1e-6f);
}

TEST_F(Mtl, UnscannableShininessScalesTheOldValue) {
    auto m = withLibrary("newmtl a\nNs high\n");
    EXPECT_EQ(m->materials[1].shininess,
              static_cast<float>(static_cast<float>(65.0f * 0.001) * 128.0));
}

TEST_F(Mtl, OnlyKaKdKsSetColoursAndAlphaStays) {
    auto m = withLibrary("newmtl a\nKe 1 1 1\nKa 0.5 0.5 0.5\nKd 0.25 0.5 0.75 0.1\nKs 1 x 1\n");
    expectColour(m->materials[1].ambient, 0.5f, 0.5f, 0.5f, 1.0f);
    expectColour(m->materials[1].diffuse, 0.25f, 0.5f, 0.75f, 1.0f);
    // The scan stops at the first value that does not convert.
    expectColour(m->materials[1].specular, 1.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(m->materialCount, 2u);
}

TEST_F(Mtl, NameIsTheSecondOfTwoWordsAndAnyNTokenStartsAMaterial) {
    auto m = withLibrary("newmtl one two three\nnotes hull\nn\tx\n");
    ASSERT_EQ(m->materialCount, 4u);
    EXPECT_STREQ(m->materials[1].name, "two");
    EXPECT_STREQ(m->materials[2].name, "hull");
    EXPECT_STREQ(m->materials[3].name, "x");
}

TEST_F(Mtl, MissingLibraryIsFatalWithTheComposedName) {
    GlmFatalError e = fatalOf([] { read("mtllib gone.mtl\n", "data/x.obj"); });
    EXPECT_EQ(e.stream, GlmStream::Err);
    EXPECT_STREQ(e.what(), "glmReadMTL() failed: can't open material file \"data/gone.mtl\".\n");
}

TEST_F(Mtl, MaterialCountedButNeverNamedStaysUnnamed) {
    // The counting pass skips the long "Kd" line in 127-character pieces and counts the
    // "newmtl" in its remainder; the filling pass reads the colour, skips from the "x" to the
    // line end and never names it. The entry keeps its defaults and no name.
    std::string line =
        "Kd 1 1 1" + std::string(92, ' ') + "x" + std::string(39, ' ') + "newmtl y\n";
    auto m = withLibrary("newmtl a\n" + line);
    ASSERT_EQ(m->materialCount, 3u);
    EXPECT_STREQ(m->materials[1].name, "a");
    EXPECT_EQ(m->materials[2].name, nullptr);
    EXPECT_EQ(glmFindMaterial(m.get(), "y"), 0u);
    EXPECT_EQ(m->materials[1].diffuse[0], 1.0f);
}

TEST_F(Mtl, MaterialNameWithoutWordIsEmpty) {
    auto m = withLibrary("newmtl\nnewmtl   \n");
    ASSERT_EQ(m->materialCount, 3u);
    EXPECT_STREQ(m->materials[1].name, "");
    EXPECT_STREQ(m->materials[2].name, "");
}

} // namespace
