// The watchdog's decisions from what it saw.
#include "cover/WatchdogPolicy.h"

#include <gtest/gtest.h>

TEST(WatchdogPolicy, OrderHeldTable) {
    constexpr int F = BandWindow::kForeign, I = BandWindow::kIgnored;
    struct Case { std::vector<BandWindow> band; int ours; bool held; };
    const Case cases[] = {
        {{{0}, {1}, {1}, {F}}, 3, true},  // a foreign topmost window below ours
        {{{I}, {0}, {I}, {1}}, 2, true},  // our other windows do not count
        {{{F}, {0}, {1}}, 2, false},      // a notification above everything
        {{{0}, {F}, {1}}, 2, false},      // above the cover, below the lock window
        {{{1}, {0}}, 2, false},           // the cover above the lock window
        {{{0}, {1}}, 3, false},           // a cover fell out of the topmost band
    };
    for (const Case& c : cases) EXPECT_EQ(IsOrderHeld(c.band, c.ours), c.held) << &c - cases;
}

TEST(WatchdogPolicy, StepsTable) {
    struct Case { WatchdogView view; bool remake, show, raise, focus; };
    const Case cases[] = {
        {{}, false, false, false, false},   // all in place: nothing, not even a repaint
        {{.coverMissing = true}, true, false, true, false},
        {{.notShowing = true}, false, true, true, false},
        {{.orderHeld = false, .foregroundForeign = true}, false, false, true, true},
    };
    for (const Case& c : cases) {
        const WatchdogSteps s = DecideWatchdogSteps(c.view);
        EXPECT_EQ((std::array{s.remakeCovers, s.show, s.raise, s.takeFocus}),
                  (std::array{c.remake, c.show, c.raise, c.focus})) << &c - cases;
    }
}

TEST(WatchdogPolicy, PlatformLockOncePerSecondAway) {
    // Ours, then away under a second, at a second, on; back, away again across the tick's wrap.
    const std::pair<bool, uint32_t> looks[] = {{true, 0}, {false, 100}, {false, 1099}, {false, 1100}, {false, 9000},
                                               {true, 9050}, {false, 0xFFFFFF00u}, {false, 0x2E7u}, {false, 0x2E8u}};
    ForegroundEpisode episode;
    std::string due;
    for (const auto& [ours, tick] : looks) due += episode.LockDue(ours, tick) ? 'L' : '-';
    EXPECT_EQ(due, "---L----L");
}

TEST(WatchdogPolicy, WhichOtherWindowsIntrude) {
    // Plain, transparent alone, layered alone intrude; click-through, cloaked, no width or height do not.
    const OtherWindowLook looks[] = {{false, 0, 3, 2}, {false, 0x20, 3, 2}, {false, 0x80000, 3, 2}, {false, 0x80020, 3, 2},
                                     {true, 0, 3, 2},  {false, 0, 0, 2},    {false, 0, 3, -1}};
    std::string intrudes;
    for (const OtherWindowLook& look : looks) intrudes += IsIntruder(look) ? 'I' : '-';
    EXPECT_EQ(intrudes, "III----");
}
