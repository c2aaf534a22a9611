#include "model_test_support.h"

#include <cmath>

namespace {

using Normals = ModelTest;

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 0.0f) {
    EXPECT_NEAR(v.x, x, tolerance) << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    EXPECT_NEAR(v.y, y, tolerance) << "(" << v.x << ", " << v.y << ", " << v.z << ")";
    EXPECT_NEAR(v.z, z, tolerance) << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

void expectAllFinite(const GlmModel* m) {
    for (std::uint32_t i = 1; i <= m->normalCount; ++i) {
        const Vec3& n = m->normals[i];
        ASSERT_TRUE(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z)) << i;
    }
    for (std::uint32_t t = 0; t < m->triangleCount; ++t) {
        for (int s = 0; s < 3; ++s) {
            std::uint32_t n = m->triangles[t].normalIndex[s];
            ASSERT_GE(n, 1u) << "triangle " << t << " slot " << s;
            ASSERT_LE(n, m->normalCount) << "triangle " << t << " slot " << s;
        }
    }
}

TEST_F(Normals, BoundingBoxAroundTheOrigin) {
    auto m = read("v -1 0 0\nv 3 0.5 0.25\n");
    EXPECT_EQ(glmScaleToUnit(m.get()), 0.5);
    expectVec(m->vertices[1], -1.0f, -0.125f, -0.0625f);
    expectVec(m->vertices[2], 1.0f, 0.125f, 0.0625f);
}

TEST_F(Normals, BoundingBoxOnOneSideUsesAbsoluteSum) {
    // Width is |3| + |1| = 4, not 2.
    auto m = read("v 1 0 0\nv 3 0 0\n");
    EXPECT_EQ(glmScaleToUnit(m.get()), 0.5);
    expectVec(m->vertices[1], -0.5f, 0.0f, 0.0f);
    expectVec(m->vertices[2], 0.5f, 0.0f, 0.0f);
}

TEST_F(Normals, EmptyModelScalesByOne) {
    auto m = read("");
    EXPECT_EQ(glmScaleToUnit(m.get()), 1.0);
}

TEST_F(Normals, ZeroDimensionScalesByOne) {
    auto m = read("v 0 0 0\nv 0 -0 0\n");
    EXPECT_EQ(glmScaleToUnit(m.get()), 1.0);
    expectVec(m->vertices[1], 0.0f, 0.0f, 0.0f);
}

TEST_F(Normals, HugeCoordinatesStayFinite) {
    auto m = read("v 3.4e38 -3.4e38 0\nv -3.4e38 3.4e38 1\nv 3.4e38 3.4e38 0\nf 1 2 3\n");
    double scale = glmScaleToUnit(m.get());
    EXPECT_TRUE(std::isfinite(scale) && scale > 0.0);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(std::isfinite(m->vertices[i].x) && std::isfinite(m->vertices[i].y));
        EXPECT_LE(std::fabs(m->vertices[i].x), 1.0f);
    }
    // Unscaled huge corners overflow the float cross product; the normal still comes out.
    auto raw = read("v 3.4e38 -3.4e38 0\nv -3.4e38 3.4e38 0\nv 3.4e38 3.4e38 0\nf 1 2 3\n");
    glmFacetNormals(raw.get());
    expectVec(raw->facetNormals[1], 0.0f, 0.0f, -1.0f, 1e-6f);
}

TEST_F(Normals, FacetNormalOfCounterClockwiseTriangle) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    glmFacetNormals(m.get());
    ASSERT_EQ(m->facetNormalCount, 1u);
    EXPECT_EQ(m->triangles[0].facetNormalIndex, 1u);
    expectVec(m->facetNormals[1], 0.0f, 0.0f, 1.0f);
}

TEST_F(Normals, CreaseLimitForNinetyDegrees) {
    // Two faces at exactly 90 degrees: dot 0 is above the limit -4.3711388e-8, so averaged.
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 2 3\nf 1 4 2\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    // Vertex 1: both averaged into one normal.
    EXPECT_EQ(m->triangles[0].normalIndex[0], m->triangles[1].normalIndex[0]);
    const float k = 1.0f / std::sqrt(2.0f);
    expectVec(m->normals[m->triangles[0].normalIndex[0]], 0.0f, k, k, 1e-6f);
}

TEST_F(Normals, CoplanarPairSharesOneNormalPerVertex) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    EXPECT_EQ(m->normalCount, 4u);
    EXPECT_EQ(m->triangles[0].normalIndex[0], m->triangles[1].normalIndex[0]);
    EXPECT_EQ(m->triangles[0].normalIndex[2], m->triangles[1].normalIndex[1]);
    for (std::uint32_t i = 1; i <= 4; ++i) {
        expectVec(m->normals[i], 0.0f, 0.0f, 1.0f);
    }
    expectAllFinite(m.get());
}

TEST_F(Normals, CubeIsSmoothAtNinetyDegrees) {
    glmSetFileSource(nullptr);
    auto m = readFile(VELMORA_SOURCE_DIR "/tests/model/fixtures/cube_with_materials.obj");
    glmScaleToUnit(m.get());
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    // One averaged normal per corner of the cube, pointing out of that corner (a face split
    // into two triangles that both touch the corner weighs twice, so not along the diagonal).
    EXPECT_EQ(m->normalCount, 8u);
    for (std::uint32_t t = 0; t < m->triangleCount; ++t) {
        for (int s = 0; s < 3; ++s) {
            const Vec3& p = m->vertices[m->triangles[t].vertexIndex[s]];
            const Vec3& n = m->normals[m->triangles[t].normalIndex[s]];
            EXPECT_GT(p.x * n.x, 0.0f);
            EXPECT_GT(p.y * n.y, 0.0f);
            EXPECT_GT(p.z * n.z, 0.0f);
            EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-6f);
        }
    }
    expectAllFinite(m.get());
}

TEST_F(Normals, SteepFoldKeepsTwoNormalsNumberedAveragedFirst) {
    // Facet normals (0,0,1) and (0,-0.866,-0.5): dot -0.5 at the shared edge.
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 -0.5 0.8660254\nf 1 2 3\nf 1 2 4\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    // Vertex 1's list runs triangle 1 then 0: triangle 1 is the reference and is averaged
    // (normal 1); triangle 0 gets a copy of its facet normal (normal 2).
    EXPECT_EQ(m->triangles[1].normalIndex[0], 1u);
    EXPECT_EQ(m->triangles[0].normalIndex[0], 2u);
    expectVec(m->normals[2], 0.0f, 0.0f, 1.0f);
    expectVec(m->normals[1], m->facetNormals[2].x, m->facetNormals[2].y, m->facetNormals[2].z,
              1e-7f);
    // Vertex 2 likewise (3, 4); vertex 3 only triangle 0 (5); vertex 4 only triangle 1 (6).
    EXPECT_EQ(m->triangles[1].normalIndex[1], 3u);
    EXPECT_EQ(m->triangles[0].normalIndex[1], 4u);
    EXPECT_EQ(m->triangles[0].normalIndex[2], 5u);
    EXPECT_EQ(m->triangles[1].normalIndex[2], 6u);
    EXPECT_EQ(m->normalCount, 6u);
}

TEST_F(Normals, VertexWithoutTriangleIsNoticedAndSkipped) {
    auto m = read("v 9 9 9\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 2 3 4\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    EXPECT_EQ(joinedNotices(), "[err] glmVertexNormals(): vertex w/o a triangle\n");
    EXPECT_EQ(m->normalCount, 3u);
    EXPECT_EQ(m->triangles[0].normalIndex[0], 1u);
    EXPECT_EQ(m->triangles[0].normalIndex[2], 3u);
}

TEST_F(Normals, ReadNormalsAreReplaced) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 1 0 0\nvn 1 0 0\nf 1//2 2//2 3//2\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    EXPECT_EQ(m->normalCount, 3u);
    expectVec(m->normals[1], 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(m->triangles[0].normalIndex[1], 2u);
}

TEST_F(Normals, ZeroAreaTriangleGetsFiniteNormals) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 2 0 0\nf 1 2 3\n");
    glmScaleToUnit(m.get());
    glmFacetNormals(m.get());
    expectVec(m->facetNormals[1], 0.0f, 0.0f, 0.0f);
    glmVertexNormals(m.get(), 90.0f);
    expectAllFinite(m.get());
}

TEST_F(Normals, ZeroAreaNeighbourDoesNotDisturbTheAverage) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 2 0 0\nf 1 2 3\nf 1 2 4\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    expectAllFinite(m.get());
    expectVec(m->normals[m->triangles[0].normalIndex[0]], 0.0f, 0.0f, 1.0f);
}

TEST_F(Normals, RepeatedVertexGivesEverySlotANormal) {
    // Triangle 1 names vertex 1 twice, triangle 2 three times.
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 1 2\nf 1 1 1\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    expectAllFinite(m.get());
    EXPECT_LE(m->normalCount, 3 * m->triangleCount);
}

TEST_F(Normals, RepeatedVertexOutsideTheCreaseGetsOneCopyPerSlot) {
    // Triangle 0 names vertex 1 in slots 0 and 1; at 30 degrees its zero normal is not within
    // the crease of the reference (triangle 1), so each slot gets its own copy.
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 1 2\nf 1 3 2\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 30.0f);
    expectAllFinite(m.get());
    EXPECT_EQ(m->triangles[1].normalIndex[0], 1u);
    EXPECT_EQ(m->triangles[0].normalIndex[1], 2u);
    EXPECT_EQ(m->triangles[0].normalIndex[0], 3u);
    EXPECT_EQ(m->triangles[1].normalIndex[2], 4u);
    EXPECT_EQ(m->triangles[0].normalIndex[2], 5u);
    EXPECT_EQ(m->triangles[1].normalIndex[1], 6u);
    EXPECT_EQ(m->normalCount, 6u);
}

TEST_F(Normals, RunningAgainReplacesResults) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 90.0f);
    glmFacetNormals(m.get());
    glmVertexNormals(m.get(), 30.0f);
    EXPECT_EQ(m->normalCount, 3u);
    EXPECT_EQ(m->facetNormalCount, 1u);
}

TEST_F(Normals, VertexNormalsWithoutFacetNormalsComputeThem) {
    auto m = read("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    glmVertexNormals(m.get(), 90.0f);
    expectVec(m->normals[1], 0.0f, 0.0f, 1.0f);
}

} // namespace
