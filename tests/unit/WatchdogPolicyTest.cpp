// The watchdog's decisions from what it saw.
#include "cover/WatchdogPolicy.h"

#include <gtest/gtest.h>

namespace {
constexpr int F = BandWindow::kForeign;
constexpr int I = BandWindow::kIgnored;
}  // namespace

TEST(WatchdogPolicy, OrderHeldTable) {
    struct Case { std::vector<int> ranks; int ours; bool held; };
    const Case cases[] = {
        {{0, 1, 1, F}, 3, true},     // ours on top, a foreign topmost window below them
        {{I, 0, I, 1, F}, 2, true},  // hidden or own other windows in between do not count
        {{F, 0, 1}, 2, false},       // a notification above everything
        {{0, F, 1}, 2, false},       // above the cover, below the lock window
        {{1, 0}, 2, false},          // the cover above the lock window
        {{0, 1}, 3, false},          // a cover fell out of the topmost band
        {{}, 0, true},
    };
    for (const Case& c : cases) {
        std::vector<BandWindow> band;
        for (int rank : c.ranks) band.push_back({rank});
        EXPECT_EQ(IsOrderHeld(band, c.ours), c.held) << ::testing::PrintToString(c.ranks) << " ours " << c.ours;
    }
}

TEST(WatchdogPolicy, StepsTable) {
    struct Case { WatchdogView view; bool remake, show, raise, focus; };
    const Case cases[] = {
        {{}, false, false, false, false},   // all in place: nothing, not even a repaint
        {{.coverMissing = true}, true, false, true, false},
        {{.notShowing = true}, false, true, true, false},
        {{.orderHeld = false}, false, false, true, false},
        {{.misplaced = true}, false, false, true, false},
        {{.foregroundForeign = true}, false, false, false, true},
    };
    for (const Case& c : cases) {
        const WatchdogSteps s = DecideWatchdogSteps(c.view);
        EXPECT_EQ(s.remakeCovers, c.remake);
        EXPECT_EQ(s.show, c.show);
        EXPECT_EQ(s.raise, c.raise);
        EXPECT_EQ(s.takeFocus, c.focus);
    }
}
