#include "math/random.h"

#include <gtest/gtest.h>

TEST(RandomGenerator, FirstValuesFromStateOne) {
    resetRandom();
    // state 1 -> 1 * 214013 + 2531011 = 2745024, >> 16 = 41
    EXPECT_EQ(nextRandom(), 41);
    EXPECT_EQ(nextRandom(), 18467);
    EXPECT_EQ(nextRandom(), 6334);
    EXPECT_EQ(nextRandom(), 26500);
}

TEST(RandomGenerator, StaysInRangeAndWrapsModulo32Bits) {
    resetRandom();
    for (int i = 0; i < 100000; ++i) {
        int r = nextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
    resetRandom();
    EXPECT_EQ(nextRandom(), 41);
}
