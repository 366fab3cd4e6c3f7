// Grid geometry, hit testing, entry rules, letters and the pattern check.
#include "core/PatternGrid.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

GridLayout Layout(int grid, int w, int h) {
    GridLayout layout;
    ComputeLayout(layout, grid, w, h);
    return layout;
}

ConfigData WithPattern(std::vector<int32_t> points) {
    ConfigData c;
    for (std::size_t i = 0; i < points.size(); ++i) c.SecretPattern[i + 1] = points[i];
    return c;
}

PatternEntry Entered(int capacity, std::vector<int> points) {
    PatternEntry e;
    e.Reset(capacity);
    for (int p : points) e.Add(p);
    return e;
}

}  // namespace

TEST(PatternGrid, LockWindowGeometry) {
    const GridLayout a = Layout(0, 1920, 1080);
    EXPECT_EQ(a.GridSide, 3);
    EXPECT_EQ(a.PanelSize, 242);
    EXPECT_EQ(a.PanelOrigin().X, 839);
    EXPECT_EQ(a.PanelOrigin().Y, 419);
    EXPECT_EQ(a.LayoutTable[1], (LayoutEntry{869, 449, 34, 860, 440, 52, 886, 466, 30, 30}));
    EXPECT_EQ(a.Point(9).Centre.X, 1034);
    EXPECT_EQ(a.Point(9).Centre.Y, 614);
    EXPECT_EQ(a.LayoutTable[10], LayoutEntry{});  // beyond N*N holds nothing
    EXPECT_EQ(a.LayoutTable[kIconKeyboard], (LayoutEntry{1832, 979, 28, 1833, 980, 32, 0, 0, 0, 0}));
    EXPECT_EQ(a.Icon(kIconPatternEnable).Hit.Left, 1785);
    EXPECT_EQ(a.Icon(kIconPatternDisplay).Hit.Left, 1738);
    EXPECT_EQ(a.IconBoxOrigin().X, 1724);
    EXPECT_EQ(a.IconBoxOrigin().Y, 972);
    EXPECT_EQ(a.InputBoxOrigin().X, 832);
    EXPECT_EQ(a.InputBoxOrigin().Y, 874);  // 1080 - 824/4 = 874

    const GridLayout b = Layout(1, 1366, 768);
    EXPECT_EQ(b.PanelSize, 316);
    EXPECT_EQ(b.PanelOrigin().X, 525);
    EXPECT_EQ(b.PanelOrigin().Y, 226);
    EXPECT_EQ(b.Point(16).Hit.Left, 525 + 3 * 74 + 30);
    EXPECT_EQ(b.AlarmPictureOrigin().X, 566);  // 565.5 goes to the even neighbour
    EXPECT_EQ(b.AlarmPictureOrigin().Y, 256);
    EXPECT_EQ(Layout(2, 1365, 774).InputBoxOrigin().X, 554);  // 554.5
    EXPECT_EQ(Layout(2, 1365, 774).InputBoxOrigin().Y, 644);  // 774 - 129.5
}

// Every square and picture of the lock screen lies on the screen.
static void ExpectOnScreen(const GridLayout& g, int w, int h) {
    const auto on = [&](LayoutPosition at, int width, int height) {
        return at.X >= 0 && at.Y >= 0 && at.X + width <= w && at.Y + height <= h;
    };
    std::vector<LayoutSquare> squares;
    for (int k = 1; k <= g.GridSide * g.GridSide; ++k)
        squares.insert(squares.end(), {g.Point(k).Hit, g.Point(k).Image});
    for (int icon = kIconKeyboard; icon <= kIconPatternDisplay; ++icon) squares.push_back(g.Icon(icon).Image);
    for (const LayoutSquare& q : squares) EXPECT_TRUE(on(q.Origin(), q.Size, q.Size)) << q.Left << ',' << q.Top;
    EXPECT_TRUE(on(g.PanelOrigin(), g.PanelSize, g.PanelSize) &&
                on(g.IconBoxOrigin(), g.Px(kIconBoxWidth), g.Px(kIconBoxHeight)) &&
                on(g.InputBoxOrigin(), g.Px(kInputBoxWidth), g.Px(kInputBoxHeight)) &&
                on(g.AlarmPictureOrigin(), g.Px(kAlarmPictureWidth), g.Px(kAlarmPictureHeight))) << w << 'x' << h;
}

TEST(PatternGrid, LockScreenScalesWithTheDpi) {
    GridLayout g;
    for (int grid = 0; grid <= 2; ++grid) {
        // 96 DPI is today's table, also where the panel would not fit (640 x 480, 5 x 5).
        for (const auto& [w, h] : {std::pair{1366, 768}, std::pair{640, 480}}) {
            ComputeLayout(g, grid, w, h, 96);
            EXPECT_EQ(g.LayoutTable, Layout(grid, w, h).LayoutTable);
            EXPECT_EQ(g.SmallGridTable, Layout(grid, w, h).SmallGridTable);
        }
        const GridLayout base = Layout(grid, 3840, 2160);
        for (const auto& [dpi, f] : {std::pair{144, 1.5}, std::pair{192, 2.0}}) {
            ComputeLayout(g, grid, 3840, 2160, dpi);
            EXPECT_EQ(g.Scale, f);
            EXPECT_NEAR(g.PanelSize, base.PanelSize * f, 2);
            EXPECT_NEAR(g.PanelOrigin().X + g.PanelSize / 2.0, 1920, 1);   // still centred
            EXPECT_NEAR(g.Point(1).Image.Size, base.Point(1).Image.Size * f, 1);
            const int pitch = base.Point(2).Hit.Left - base.Point(1).Hit.Left;
            EXPECT_NEAR(g.Point(2).Hit.Left - g.Point(1).Hit.Left, pitch * f, 1);
            const LayoutSquare &icon = g.Icon(kIconKeyboard).Hit, &baseIcon = base.Icon(kIconKeyboard).Hit;
            EXPECT_NEAR(icon.Size, baseIcon.Size * f, 1);
            EXPECT_NEAR(2160 - icon.Top, (2160 - baseIcon.Top) * f, 1);   // from the screen's bottom
            ExpectOnScreen(g, 3840, 2160);
        }
        // 200 % on a 1024 x 768 screen: scaled only as far as it fits.
        ComputeLayout(g, grid, 1024, 768, 192);
        EXPECT_TRUE(g.Scale > 1.0 && g.Scale < 2.0) << g.Scale;
        ExpectOnScreen(g, 1024, 768);
    }
}

TEST(PatternGrid, SmallGridTable) {
    struct Case { int grid, first, pitch, last; };
    const Case cases[] = {{0, 70, 72, 70 + 2 * 72}, {1, 34, 72, 34 + 3 * 72}, {2, 24, 59, 260}};
    for (const Case& c : cases) {
        const GridLayout g = Layout(c.grid, 800, 600);
        const int n = c.grid + 3;
        EXPECT_EQ(g.SmallGridTable[1], (LayoutEntry{c.first, c.first, 36, 0, 0, 0, c.first + 18, c.first + 18, 0, 0}));
        EXPECT_EQ(g.SmallPoint(2).Hit.Left - g.SmallPoint(1).Hit.Left, c.pitch) << c.grid;
        EXPECT_EQ(g.SmallPoint(n * n).Hit.Left, c.last);
        EXPECT_EQ(g.SmallPoint(n * n).Hit.Top, c.last);
    }
    EXPECT_EQ(Layout(2, 800, 600).SmallPoint(13).Centre.X, 160);
    EXPECT_EQ(Layout(2, 800, 600).SmallPoint(13).Centre.Y, 160);
}

TEST(PatternGrid, HitTestLeftEdgeInclusiveTopExclusive) {
    const GridLayout g = Layout(0, 1920, 1080);  // point 1 at (869, 449), size 34
    struct Case { double x, y; int point; };
    const Case cases[] = {
        {869, 450, 1}, {869, 449, 0}, {868.99, 460, 0}, {902.99, 482.99, 1}, {903, 460, 0},
        {880, 483, 0}, {886, 466, 1}, {1034, 614, 9}, {960, 540, 5}, {0, 0, 0}, {923, 466, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(HitTestPoint(g, c.x, c.y), c.point) << c.x << ',' << c.y;
    EXPECT_EQ(HitTestSmallPoint(g, 70, 71), 1);
    EXPECT_EQ(HitTestSmallPoint(g, 70, 70), 0);
    EXPECT_EQ(HitTestSmallPoint(g, 214 + 35.5, 214 + 35.5), 9);
    EXPECT_EQ(HitTestIcon(g, 1832, 980), kIconKeyboard);
    EXPECT_EQ(HitTestIcon(g, 1785 + 27, 979 + 27), kIconPatternEnable);
    EXPECT_EQ(HitTestIcon(g, 1738, 979), -1);
    EXPECT_EQ(HitTestIcon(g, 1738 + 28, 990), -1);
    EXPECT_EQ(HitTestPoint(GridLayout{}, 30, 31), 0);  // never laid out
}

TEST(PatternGrid, PointsAlongAJumpBetweenSamples) {
    const GridLayout g = Layout(0, 1920, 1080);
    const auto centre = [&](int k) { return g.Point(k).Centre; };
    // 3 to 7 across the middle, and 1 to 9 on the diagonal: 5 lies on the way.
    EXPECT_EQ(PointsAlong(g, centre(3).X, centre(3).Y, centre(7).X, centre(7).Y), (std::vector<int>{5, 7}));
    EXPECT_EQ(PointsAlong(g, centre(1).X, centre(1).Y, centre(9).X, centre(9).Y), (std::vector<int>{5, 9}));
    EXPECT_EQ(PointsAlong(g, centre(1).X, centre(1).Y, centre(1).X + 5, centre(1).Y), std::vector<int>{});
    EXPECT_EQ(PointsAlong(g, 0, 0, 1e12, 1e12).size(), 0u);  // bounded, and off the grid
}

TEST(PatternGrid, DragAddsEachPointOnce) {
    PatternDrag drag;
    drag.Reset(9);
    EXPECT_TRUE(drag.Press(1));
    EXPECT_FALSE(drag.Move(1));
    EXPECT_FALSE(drag.Move(0));
    EXPECT_TRUE(drag.Move(2));
    EXPECT_FALSE(drag.Move(1));  // back over a taken point
    EXPECT_FALSE(drag.Move(2));  // and back again: nothing
    EXPECT_TRUE(drag.Move(5));
    EXPECT_EQ(EnteredPatternText(drag.Entry()), " 1 2 5");
    EXPECT_TRUE(drag.Release());
    EXPECT_FALSE(drag.Move(6));
    EXPECT_FALSE(drag.Release());

    EXPECT_FALSE(drag.Press(0));  // outside: clears and starts nothing
    EXPECT_EQ(drag.Entry().Count(), 0);
    EXPECT_FALSE(drag.Move(3));
    EXPECT_FALSE(drag.Release());

    drag.Press(9);
    for (int p = 1; p <= 9; ++p) drag.Move(p);
    drag.Move(10);
    EXPECT_EQ(drag.Entry().Count(), 9);
    EXPECT_EQ(EnteredPatternText(drag.Entry()), " 9 1 2 3 4 5 6 7 8");
    drag.Cancel();
    EXPECT_FALSE(drag.IsDrawing());
    EXPECT_EQ(drag.Entry().Count(), 0);
}

TEST(PatternGrid, CheckTextsInAllModes) {
    const std::vector<uint8_t> letters = {0, 'Q', 'A', 'Z', 'B', 'C', 'D', 'E', 'F', 'G'};
    const ConfigData three = WithPattern({1, 5, 9});
    EXPECT_EQ(StoredPatternText(three, 3, kNormalUnlockMode, letters), " 1 5 9");
    EXPECT_EQ(StoredPatternText(three, 3, kSecureUnlockMode, letters), " 1 5 9");
    EXPECT_EQ(StoredPatternText(three, 3, kDynamicPasswordMode, letters), "QCG");
    EXPECT_TRUE(PatternTextsMatch(" 1 5 9", EnteredPatternText(Entered(9, {1, 5, 9}))));
    EXPECT_FALSE(PatternTextsMatch(" 1 5 9", EnteredPatternText(Entered(9, {1, 5}))));

    KeyEntry keys;
    keys.Reset(9);
    for (uint8_t k : {'Q', 'C', 'G'}) keys.Type(k);
    EXPECT_TRUE(PatternTextsMatch("QCG", EnteredKeysText(keys)));
    keys.Backspace();
    keys.Type('g');  // the window never sees lower case; a stray one must not match
    EXPECT_FALSE(PatternTextsMatch("QCG", EnteredKeysText(keys)));

    const ConfigData first = WithPattern({1, 12}), second = WithPattern({11, 2});
    EXPECT_NE(StoredPatternText(first, 4, 0, {}), StoredPatternText(second, 4, 0, {}));
    EXPECT_FALSE(PatternTextsMatch(StoredPatternText(first, 4, 0, {}), EnteredPatternText(Entered(16, {11, 2}))));

    EXPECT_TRUE(PatternTextsMatch(StoredPatternText(ConfigData{}, 3, 0, {}), " 4"));
    EXPECT_TRUE(PatternTextsMatch(std::string(3, '\0') + " 7", " 1"));
    EXPECT_TRUE(PatternTextsMatch("", ""));
}

TEST(PatternGrid, StoredTextSkipsDamagedEntries) {
    ConfigData c = WithPattern({3, 0, -4, 10, 9, 1000000});
    c.SecretPattern[10] = 2;  // stale, above N*N
    const std::vector<uint8_t> fewLetters = {0, 'A', 'B', 'C'};
    EXPECT_EQ(StoredPatternText(c, 3, 0, fewLetters), " 3 9");
    EXPECT_EQ(StoredPatternText(c, 3, 2, fewLetters), "C");
    EXPECT_EQ(StoredPatternText(c, 3, 2, {}), "");
    EXPECT_EQ(StoredPatternText(c, 99, 0, {}).substr(0, 2), " 3");
}

TEST(PatternGrid, WrongCounterTriggersAndResets) {
    struct Case { int32_t times, mode; std::vector<char> events; std::vector<bool> alerts; };
    const Case cases[] = {
        {3, 1, {'x', 'x', 'x', 'x', 'x', 'x'}, {false, false, true, false, false, true}},
        {3, 1, {'x', 'x', 'o', 'x', 'x', 'x'}, {false, false, false, false, false, true}},
        {1, 5, {'x', 'x'}, {true, true}},
        {0, 1, {'x', 'x', 'x', 'x'}, {false, false, false, false}},
        {3, 0, {'x', 'x', 'x', 'x'}, {false, false, false, false}},
        {-1, 1, {'x', 'x'}, {false, false}},
    };
    for (const Case& c : cases) {
        WrongCounter counter;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            bool alert = false;
            if (c.events[i] == 'o') {
                counter.RecordMatch();
            } else {
                alert = counter.RecordMismatch(c.times, c.mode);
            }
            EXPECT_EQ(alert, c.alerts[i]) << c.times << '/' << c.mode << " event " << i;
        }
        if (c.times <= 0 || c.mode <= 0) {
            EXPECT_EQ(counter.Count(), 0);
        }
    }
}

TEST(PatternGrid, RandomLettersDistinctForAnySource) {
    std::vector<std::function<double()>> sources = {
        [] { return 0.0; }, [] { return 0.999999; }, [] { return 0.5; }, [] { return 1.0; },
        [] { return -3.0; }, [] { return std::numeric_limits<double>::quiet_NaN(); },
        [flip = false]() mutable { flip = !flip; return flip ? 0.0 : 0.999999; },
        [flip = false]() mutable { flip = !flip; return flip ? 0.999999 : 0.0; },
    };
    for (unsigned seed = 1; seed <= 200; ++seed) {
        sources.push_back([state = seed]() mutable {
            state = state * 1103515245u + 12345u;
            return (state >> 8) / 16777216.0;
        });
    }
    for (std::size_t s = 0; s < sources.size(); ++s) {
        for (int n : {9, 16, 25, 26}) {
            const std::vector<uint8_t> letters = MakeRandomLetters(n, sources[s]);
            ASSERT_EQ(letters.size(), static_cast<std::size_t>(n) + 1);
            const std::set<uint8_t> distinct(letters.begin() + 1, letters.end());
            EXPECT_EQ(distinct.size(), static_cast<std::size_t>(n)) << "source " << s;
            EXPECT_GE(*distinct.begin(), 'A');
            EXPECT_LE(*distinct.rbegin(), 'Z');
        }
    }
    EXPECT_EQ(MakeRandomLetters(1, [] { return 0.999999; })[1], 'T');  // b = 5, c = 9: 110 - 26
    EXPECT_EQ(MakeRandomLetters(3, [] { return 0.0; }), (std::vector<uint8_t>{0, 'A', 'B', 'C'}));
    EXPECT_EQ(MakeRandomLetters(27, [] { return 0.0; }).size(), 27u);
    EXPECT_EQ(MakeRandomLetters(-5, [] { return 0.0; }).size(), 1u);
}

TEST(PatternGrid, KeyEntryFullAndEmpty) {
    KeyEntry keys;
    keys.Reset(25);
    EXPECT_FALSE(keys.Backspace());
    for (int i = 0; i < 25; ++i) EXPECT_TRUE(keys.Type(static_cast<uint8_t>('A' + i)));
    EXPECT_FALSE(keys.Type('Z'));  // the 26th key
    EXPECT_EQ(keys.Count(), 25);
    EXPECT_TRUE(keys.Backspace());
    EXPECT_EQ(keys.Slots()[25], 0);
    EXPECT_EQ(keys.Slots()[24], 'X');
    EXPECT_TRUE(keys.Type(27));  // Esc is stored like any key
    EXPECT_EQ(EnteredKeysText(keys).back(), '\x1b');
}

TEST(PatternGrid, GuessWaitsFromTheFirstAlarmUntilTheMatch) {
    const int schedule[] = {0, 30, 60, 120, 240, 480, 900, 900};
    for (int n = 0; n < 8; ++n) EXPECT_EQ(GuessWaitSeconds(n), schedule[n]) << n;
    GuessThrottle throttle;
    EXPECT_EQ(throttle.RecordMismatch(100), 0);   // before the alarm
    throttle.RecordAlarm();
    EXPECT_EQ(throttle.RecordMismatch(100), 30);
    EXPECT_EQ(throttle.SecondsLeft(110), 20);
    EXPECT_EQ(throttle.RecordMismatch(130), 60);
    GuessThrottle restarted;
    restarted.Restore(throttle.Waits(), throttle.WaitEnd());
    EXPECT_EQ(restarted.SecondsLeft(150), 40);
    EXPECT_EQ(restarted.SecondsLeft(-100000), 900);   // a clock turned back
    EXPECT_EQ(restarted.RecordMismatch(200), 120);
    restarted.RecordMatch();
    EXPECT_EQ(restarted.RecordMismatch(200), 0);
    EXPECT_EQ(GuessWaitText(65), "Try again in 1:05");
}

TEST(PatternGrid, ResetPatternNeedsTwoDigits) {
    struct Case { int capacity; std::vector<int> points; bool accepted; };
    const Case cases[] = {{9, {}, false}, {9, {5}, false}, {9, {1, 2}, true}, {16, {12}, true}, {16, {9}, false}};
    for (const Case& c : cases) EXPECT_EQ(IsResetPatternAccepted(Entered(c.capacity, c.points)), c.accepted);
}
