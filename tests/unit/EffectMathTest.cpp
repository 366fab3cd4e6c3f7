// The wipe's step count and band offsets.
#include "cover/EffectMath.h"

#include <gtest/gtest.h>

TEST(EffectMath, ExampleScreens) {
    struct Case { int width, band, steps; };
    const Case cases[] = {{1366, 137, 27}, {1365, 137, 27}, {1920, 192, 38}, {1024, 103, 20},
                          {1025, 103, 20}, {1075, 108, 22}, {1125, 113, 22}, {800, 80, 16}};
    for (const Case& c : cases) {
        const auto bands = CalcEffectBands(c.width);
        EXPECT_EQ(bands[0], 0);
        EXPECT_EQ(bands[1], 0) << c.width;
        EXPECT_EQ(bands[2], c.band) << c.width;
        EXPECT_EQ(bands[10], 9 * c.band) << c.width;
        EXPECT_EQ(EffectStepCount(c.width), c.steps) << c.width;
    }
}

TEST(EffectMath, BandsCoverTheScreenAndStepsFillEachBand) {
    for (int width = 1; width <= 8192; ++width) {
        const auto bands = CalcEffectBands(width);
        const int band = bands[2];
        ASSERT_GE(band * 10, width) << width;          // no gap at the right edge
        ASSERT_LT((band - 1) * 10, width) << width;    // and no band wider than needed
        ASSERT_GE(kEffectStripWidth * (EffectStepCount(width) + 1), band) << width;
    }
}

// Small screens keep the 25 ms steps; large ones fit every step into the bound; a late present
// catches up with every step due, and each step is due exactly from its own time on.
TEST(EffectMath, WipeStepsRunOnAClockWithinTheBound) {
    EXPECT_EQ(EffectStepTime(1, 27), 25);
    EXPECT_EQ(EffectStepDue(24, 27), 0);
    EXPECT_EQ(EffectStepDue(250, 27), 10);
    for (int width : {800, 1366, 1920, 3840, 7680}) {
        const int steps = EffectStepCount(width);
        EXPECT_LE(EffectStepTime(steps, steps), kEffectWholeMs) << width;
        EXPECT_EQ(EffectStepDue(100000, steps), steps) << width;
        for (int j = 1; j <= steps; ++j) {
            ASSERT_EQ(EffectStepDue(EffectStepTime(j, steps), steps), j) << width << " step " << j;
            ASSERT_EQ(EffectStepDue(EffectStepTime(j, steps) - 1, steps), j - 1) << width << " step " << j;
        }
    }
}
