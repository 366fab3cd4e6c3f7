// Lengths and rectangles laid out for 96 DPI, taken to other DPIs.
#include "ui/DpiScale.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScale, RoundsHalfAwayFromZeroAsMulDivDoes) {
    const struct { int value, dpi, scaled; } kCases[] = {
        {100, 96, 100}, {100, 120, 125}, {100, 192, 200}, {7, 120, 9}, {1, 144, 2}, {-11, 144, -17}, {42, 0, 42}};
    for (const auto& c : kCases) EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
}

// 15 + 100 touches 115 at 96 DPI; at 120 the widths round apart (125 and 140) but the edges meet.
TEST(DpiScale, RectanglesThatTouchKeepTouching) {
    const DpiRect left = ScaleRectToDpi({15, 365, 100, 23}, 120), right = ScaleRectToDpi({115, 365, 112, 23}, 120);
    EXPECT_EQ(left, (DpiRect{19, 456, 125, 29}));
    EXPECT_EQ(left.Left + left.Width, right.Left);
}

}  // namespace
