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
