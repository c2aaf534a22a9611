#include "scene/flight_path.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class FlightPathTest : public ::testing::Test {
  protected:
    void SetUp() override { initFlightPath(); }
};

void expectPoint(PathPoint actual, double x, double y, double z, double tolerance,
                 const char* what) {
    EXPECT_NEAR(actual.x, x, tolerance) << what;
    EXPECT_NEAR(actual.y, y, tolerance) << what;
    EXPECT_NEAR(actual.z, z, tolerance) << what;
}

TEST_F(FlightPathTest, PointsFromTheText) {
    expectPoint(flightPathPoint(0.5), 5, -2, -5, 0, "T = 0.5 rests at P0");
    expectPoint(flightPathPoint(1), 5, -2, -5, 0, "T = 1 is segment 0 at t = 0");
    expectPoint(flightPathPoint(1.5), -0.375, -1.625, 2.875, 1e-12, "T = 1.5");
    expectPoint(flightPathPoint(2), -5, 1, -8, 0, "T = 2 is segment 1 at t = 0, P3");
    expectPoint(flightPathPoint(4.5), -3.75, -3.75, 125, 1e-12, "T = 4.5");
    expectPoint(flightPathPoint(6.5), 2.5, 5.25, -9.75, 1e-12, "T = 6.5");
    expectPoint(flightPathPoint(6.99), 4.9985, -1.9964, -5.3264, 1e-4, "T = 6.99");
}

TEST_F(FlightPathTest, SegmentLowerBoundsAreInclusive) {
    for (int k = 0; k < flightPathSegmentCount; ++k) {
        PathPoint p = flightPath.controlPoints[3 * k];
        expectPoint(flightPathPoint(k + 1.0), p.x, p.y, p.z, 0, "segment start");
    }
}

TEST_F(FlightPathTest, PathIsClosed) {
    PathPoint first = flightPath.controlPoints[0];
    PathPoint last = flightPath.controlPoints[flightPathControlPointCount - 1];
    EXPECT_EQ(first.x, last.x);
    EXPECT_EQ(first.y, last.y);
    EXPECT_EQ(first.z, last.z);
    const PathPoint* p = flightPath.controlPoints;
    expectPoint(bezierPoint(p[15], p[16], p[17], p[18], 1.0), 5, -2, -5, 1e-12, "end of lap");
}

TEST_F(FlightPathTest, TimeOutsideTheLapIsAProgrammingError) {
#ifdef NDEBUG
    // Release builds clamp: both ends of the closed path are P0.
    expectPoint(flightPathPoint(0.0), 5, -2, -5, 0, "T = 0");
    expectPoint(flightPathPoint(7.0), 5, -2, -5, 0, "T = 7");
    expectPoint(flightPathPoint(-3.0), 5, -2, -5, 0, "T < 0");
    expectPoint(flightPathPoint(1e9), 5, -2, -5, 0, "T far beyond the lap");
#else
    EXPECT_DEATH(flightPathPoint(7.0), "path time must lie in 0 < T < 7");
    EXPECT_DEATH(flightPathPoint(0.0), "path time must lie in 0 < T < 7");
#endif
}

TEST_F(FlightPathTest, RedStripHas101SamplesPerSegment) {
    std::vector<Vec3> samples;
    forEachFlightPathSample([&](float x, float y, float z) { samples.push_back({x, y, z}); });
    ASSERT_EQ(samples.size(), 606u);
    const PathPoint* p = flightPath.controlPoints;
    for (int k = 0; k < flightPathSegmentCount; ++k) {
        // Each segment starts on its first control point, so consecutive segments meet.
        const Vec3& first = samples[101 * k];
        EXPECT_EQ(first.x, static_cast<float>(p[3 * k].x));
        EXPECT_EQ(first.y, static_cast<float>(p[3 * k].y));
        EXPECT_EQ(first.z, static_cast<float>(p[3 * k].z));
        // The last sample sits at the float-accumulated t = 0.99999934, a hair short of the end.
        PathPoint last =
            bezierPoint(p[3 * k], p[3 * k + 1], p[3 * k + 2], p[3 * k + 3], 0.99999934);
        const Vec3& s = samples[101 * k + 100];
        EXPECT_NEAR(s.x, last.x, 1e-4);
        EXPECT_NEAR(s.y, last.y, 1e-4);
        EXPECT_NEAR(s.z, last.z, 1e-4);
    }
}

} // namespace
