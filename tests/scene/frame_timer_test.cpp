#include "platform/platform.h"
#include "scene/frame_timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

// A counter the test moves by hand.
struct FakeClock {
    std::int64_t frequency = 1000;
    std::int64_t now = 1000000;

    void install() {
        source = CounterSource{[](void* c) { return static_cast<FakeClock*>(c)->frequency; },
                               [](void* c) { return static_cast<FakeClock*>(c)->now; }, this};
        platformSetCounterSource(&source);
    }
    void advanceSeconds(double s) {
        now += static_cast<std::int64_t>(std::llround(s * static_cast<double>(frequency)));
    }
    CounterSource source{};
};

class FrameTimerTest : public ::testing::Test {
  protected:
    void SetUp() override { clock.install(); }
    void TearDown() override { platformSetCounterSource(nullptr); }

    // One frame as the scene runs it: delta at the start, count at the end.
    double frame(FrameTimer* timer, double seconds) {
        clock.advanceSeconds(seconds);
        double d = timer->frameDelta();
        timer->countFrame();
        return d;
    }

    FakeClock clock;
};

TEST_F(FrameTimerTest, FirstFrameShowsOneAndOne) {
    FrameTimer timer;
    frame(&timer, 0.016);
    EXPECT_EQ(timer.framesPerSecond, 1);
    EXPECT_EQ(timer.seconds, 1);
    EXPECT_EQ(timer.frames, 0);
}

TEST_F(FrameTimerTest, FirstDeltaMeasuresFromConstruction) {
    FrameTimer timer;
    clock.advanceSeconds(3.5);
    EXPECT_DOUBLE_EQ(timer.frameDelta(), 3.5);
    EXPECT_DOUBLE_EQ(timer.lastDelta, 3.5);
    EXPECT_EQ(timer.frameDelta(), 0.0) << "no tick between two deltas";
}

TEST_F(FrameTimerTest, SteadyQuarterSecondGivesFivePerWindow) {
    FrameTimer timer;
    frame(&timer, 0.25);
    ASSERT_EQ(timer.seconds, 1);
    for (int window = 2; window <= 4; ++window) {
        for (int f = 1; f <= 4; ++f) {
            frame(&timer, 0.25);
            EXPECT_EQ(timer.seconds, window - 1) << "four frames reach exactly 1.0 s: still open";
        }
        frame(&timer, 0.25);
        EXPECT_EQ(timer.seconds, window);
        EXPECT_EQ(timer.framesPerSecond, 5);
    }
}

TEST_F(FrameTimerTest, ExactlyOneSecondDoesNotCloseTheWindow) {
    FrameTimer timer;
    frame(&timer, 0.1);
    frame(&timer, 1.0);
    EXPECT_EQ(timer.seconds, 1);
    EXPECT_EQ(timer.frames, 1);
    frame(&timer, 0.001);
    EXPECT_EQ(timer.seconds, 2);
    EXPECT_EQ(timer.framesPerSecond, 2);
}

TEST_F(FrameTimerTest, LongPauseClosesOneWindowOnly) {
    FrameTimer timer;
    frame(&timer, 0.1);
    frame(&timer, 0.1);
    frame(&timer, 0.1);
    frame(&timer, 7.0);
    EXPECT_EQ(timer.seconds, 2);
    EXPECT_EQ(timer.framesPerSecond, 3);
    EXPECT_EQ(timer.frames, 0);
}

TEST_F(FrameTimerTest, ZeroFrequencyGivesFiniteTimes) {
    clock.frequency = 0;
    FrameTimer timer;
    for (int i = 0; i < 3; ++i) {
        double d = frame(&timer, 0.0);
        clock.now += 12345;
        EXPECT_TRUE(std::isfinite(d));
        EXPECT_EQ(d, 0.0);
    }
    clock.now += 1000000;
    double d = timer.frameDelta();
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(timer.seconds, 0) << "no time passes without a counter, so no window closes";
    EXPECT_EQ(timer.framesPerSecond, 0);
}

TEST_F(FrameTimerTest, ReconstructionReadsTheInstalledSource) {
    FrameTimer timer;
    frame(&timer, 0.5);
    FakeClock other;
    other.frequency = 1000000000;
    other.now = 1000000000000;
    other.install();
    timer = FrameTimer{};
    EXPECT_EQ(timer.frequency, 1000000000);
    EXPECT_EQ(timer.lastFrameMark, 1000000000000);
    EXPECT_EQ(timer.seconds, 0);
    EXPECT_EQ(timer.frames, 0);
    EXPECT_EQ(timer.lastSecondMark, 0);
    other.now += 16666667;
    EXPECT_NEAR(timer.frameDelta(), 0.016666667, 1e-12);

    other.now = 5;
    timer.reset();
    EXPECT_EQ(timer.lastFrameMark, 5);
    EXPECT_EQ(timer.currentCount, 0);
}

} // namespace
