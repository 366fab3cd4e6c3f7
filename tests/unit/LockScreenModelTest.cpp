// The fade table shared by every fade.
#include "core/LockScreenModel.h"

#include <gtest/gtest.h>

TEST(LockScreenModel, FadeAlphaSteps) {
    const std::array<uint8_t, 33> expected = {0,   8,   16,  24,  32,  40,  48,  56,  64,  72,  80,
                                              88,  96,  104, 112, 120, 128, 135, 143, 151, 159, 167,
                                              175, 183, 191, 199, 207, 215, 223, 231, 239, 247, 255};
    EXPECT_EQ(MakeFadeAlpha(), expected);
    EXPECT_EQ(kFadeAlpha, expected);
}
