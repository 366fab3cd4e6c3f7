// The lock window's screens read back from the frame on both screen sizes (panel, trail, icons,
// letters, alarm), and the window's own rules driven through its messages: drawing, the check,
// wrong entries leading to the alarm, keys in the Dynamic Password Mode, icons, hiding.
#include <gtest/gtest.h>

#include "lockscreen/ClockText.h"
#include "lockscreen/LockWindow.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "lockscreen/LockScreens.h"
#include "support/DrawTestSupport.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

using namespace drawtest;

namespace {

constexpr uint32_t kAlphaOne = 0x01000000;
constexpr uint32_t kPanelBlack = 0xCC000000;
constexpr uint32_t kDotOverPanel = 0xEEAAAAAA;

void SetScreen(int width, int height, int grid) {
    ScreenWidth = width;
    ScreenHeight = height;
    Config = ConfigData{};
    ApplyDefaultConfig(Config);
    Config.Grid = static_cast<uint8_t>(grid);
    SetDefaultPattern(Config);
    ComputeLayout(Layout, grid, width, height);
    LockStateTestAccess::SetUnlockMode(kNormalUnlockMode);
}

const LayoutEntry& Point(int k) { return Layout.Point(k); }

bool IsRedRim(uint32_t p) { return Red(p) > 0x60 && Green(p) < 0x20 && Blue(p) < 0x20; }
bool IsBlueRim(uint32_t p) { return Blue(p) > 0x60 && Red(p) < 0x20; }

// ---- screens on frames of both sizes ----

struct ScreenCase {
    int width, height, grid;
};

class Screens : public ::testing::TestWithParam<ScreenCase> {
protected:
    void SetUp() override {
        const ScreenCase c = GetParam();
        SetScreen(c.width, c.height, c.grid);
        ASSERT_TRUE(frame_.CreateGraphic(nullptr, c.width, c.height));
        frame_.MakeTrailPens();
        LoadStandInImages(frame_.Graphics(), ProgramResources());
        view_.images = &Images;
        view_.layout = &Layout;
        view_.timeText = "10:42 AM";
        view_.dateText = "Monday, March 04, 2024";
        view_.alertText = "Do not touch my computer!";
        view_.entered = &entry_;
        view_.keys = &keys_;
        view_.letters = &letters_;
        const int points = Layout.GridSide * Layout.GridSide;
        entry_.Reset(points);
        keys_.Reset(points);
        letters_.assign(static_cast<size_t>(points) + 1, 0);
        for (int k = 1; k <= points; ++k) letters_[static_cast<size_t>(k)] = static_cast<uint8_t>('A' + k - 1);
    }
    void TearDown() override {
        Images.FreeAll();
    }
    uint32_t At(int x, int y) const { return frame_.PixelAt(x, y); }
    int Ink(int left, int top, int width, int height) const {
        return CountInk(frame_, left, top, width, height, kAlphaOne);
    }
    LayeredFrame frame_;
    LockScreenView view_;
    PatternEntry entry_;
    KeyEntry keys_;
    std::vector<uint8_t> letters_;
};

TEST_P(Screens, IdleScreenShowsPanelTextsAndIcons) {
    DrawPatternScreen(frame_, view_, false, false);
    const int w = frame_.Width(), h = frame_.Height(), s = Layout.PanelSize;
    const int x0 = Layout.PanelOrigin().X, y0 = Layout.PanelOrigin().Y;
    EXPECT_EQ(At(x0 + 67, y0 + 67), kPanelBlack);
    EXPECT_EQ(At(x0 + 1, y0 + 1), kAlphaOne);  // rounded corner
    for (int k = 1; k <= Layout.GridSide * Layout.GridSide; ++k)
        EXPECT_TRUE(Near(At(Point(k).Centre.X, Point(k).Centre.Y), kDotOverPanel, 1)) << "point " << k;
    EXPECT_EQ(At(x0 - 20, y0 + s / 2), kAlphaOne);
    EXPECT_EQ(At(10, 10), kAlphaOne);
    // Time, date and alert text in their rows, centred on the screen.
    const int timeTop = h / 2 - s / 2 - 67, dateTop = h / 2 - s / 2 - 37, alertTop = h / 2 + s / 2 + 20;
    EXPECT_GT(Ink(w / 2 - 60, timeTop, 120, 26), 100);
    EXPECT_GT(Ink(w / 2 - 60, dateTop, 120, 20), 100);
    EXPECT_GT(Ink(w / 2 - 60, alertTop, 120, 24), 100);
    EXPECT_EQ(Ink(0, timeTop, w / 2 - 150, 26), 0);  // nothing far left of the centred texts
    // Icon box and the three icons at their normal size and place.
    const LayoutPosition box = Layout.IconBoxOrigin();
    EXPECT_EQ(At(box.X + 3, box.Y + 24), kPanelBlack);
    for (int i = 0; i < 3; ++i) {
        const LayoutSquare& e = Layout.Icon(kIconKeyboard + i).Image;
        EXPECT_TRUE(Near(At(e.Left + 16, e.Top + 16), kIconColours[i], 2)) << "icon " << i;
        EXPECT_TRUE(Near(At(e.Left + 1, e.Top + 1), kIconColours[i], 40)) << "icon " << i;
        EXPECT_EQ(At(e.Left + 33, e.Top + 16), kPanelBlack) << "icon " << i;  // right of a 32 icon
    }
}

TEST_P(Screens, HotIconIsDrawnLargerAtItsHitSquare) {
    view_.hotItem = kIconPatternEnable;
    DrawPatternScreen(frame_, view_, true, false);
    const LayoutSquare& hot = Layout.Icon(kIconPatternEnable).Hit;
    const LayoutSquare& cold = Layout.Icon(kIconKeyboard).Hit;
    // 34 x 34 from the hit square's corner, one pixel up and left of the normal image.
    EXPECT_TRUE(Near(At(hot.Left + 1, hot.Top + 1), kIconColours[1], 40));
    EXPECT_TRUE(Near(At(hot.Left + 32, hot.Top + 32), kIconColours[1], 40));
    EXPECT_EQ(At(cold.Left, cold.Top + 16), kPanelBlack);
}

TEST_P(Screens, ReleasedTrailIsRedLinesUnderRedRings) {
    for (int point : {1, 2, 5}) entry_.Add(point);
    DrawPatternScreen(frame_, view_, true, true);
    for (int point : {1, 2, 5}) {
        const LayoutEntry& e = Point(point);
        EXPECT_TRUE(IsRedRim(At(e.Image.Left + 26, e.Image.Top))) << "point " << point << std::hex << " " << At(e.Image.Left + 26, e.Image.Top);
        EXPECT_EQ(At(e.Centre.X, e.Centre.Y), 0xFFFFFFFFu) << "point " << point;  // the ring's white centre
    }
    // The line from 1 to 2, halfway between the rings.
    const int midX = (Point(1).Centre.X + Point(2).Centre.X) / 2, midY = Point(1).Centre.Y;
    EXPECT_EQ(At(midX, midY), 0xFFFF0000u);
    // A point not entered (and off the lines) keeps its plain dot.
    const int last = Layout.GridSide * Layout.GridSide;
    EXPECT_TRUE(Near(At(Point(last).Centre.X, Point(last).Centre.Y), kDotOverPanel, 1));
}

TEST_P(Screens, TrailWhileDrawingIsBlue) {
    const int below = 1 + Layout.GridSide;  // the point under point 1
    for (int point : {below, 1}) entry_.Add(point);
    DrawPatternScreen(frame_, view_, true, false);
    EXPECT_TRUE(IsBlueRim(At(Point(below).Image.Left + 26, Point(below).Image.Top)));
    EXPECT_EQ(At(Point(1).Centre.X, (Point(1).Centre.Y + Point(below).Centre.Y) / 2), 0xFF003FFFu);
    // The idle screen ignores the entry.
    DrawPatternScreen(frame_, view_, false, false);
    EXPECT_TRUE(Near(At(Point(below).Centre.X, Point(below).Centre.Y), kDotOverPanel, 1));
}

TEST_P(Screens, SecureModeShowsNoTrail) {
    view_.unlockMode = kSecureUnlockMode;
    for (int point : {1, 2}) entry_.Add(point);
    DrawPatternScreen(frame_, view_, true, true);
    EXPECT_TRUE(Near(At(Point(1).Centre.X, Point(1).Centre.Y), kDotOverPanel, 1));
    EXPECT_EQ(At(Point(1).Image.Left + 26, Point(1).Image.Top), kPanelBlack);
}

TEST_P(Screens, DynamicPasswordShowsLettersBoxAndStars) {
    DrawPatternScreen(frame_, view_, false, false);
    std::vector<uint32_t> plain(static_cast<size_t>(frame_.Width()) * frame_.Height());
    for (int y = 0; y < frame_.Height(); ++y)
        for (int x = 0; x < frame_.Width(); ++x) plain[static_cast<size_t>(y) * frame_.Width() + x] = At(x, y);
    auto changed = [&](int left, int top, int width, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (At(x, y) != plain[static_cast<size_t>(y) * frame_.Width() + x]) ++count;
        return count;
    };
    auto whiteIn = [&](int left, int top, int width, int height) {
        int count = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (Red(At(x, y)) > 0xF0 && Alpha(At(x, y)) > 0xF0) ++count;
        return count;
    };
    view_.unlockMode = kDynamicPasswordMode;
    DrawPatternScreen(frame_, view_, false, false);
    const LayoutPosition box = Layout.InputBoxOrigin();
    EXPECT_EQ(At(box.X + 3, box.Y + 12), kPanelBlack);
    EXPECT_EQ(whiteIn(box.X, box.Y, 256, 24), 0);
    for (int k = 1; k <= Layout.GridSide * Layout.GridSide; ++k) {
        const LayoutEntry& e = Point(k);
        EXPECT_GT(changed(e.Hit.Left, e.Hit.Top, 34, 34), 20) << "no letter on point " << k;
        EXPECT_GT(whiteIn(e.Hit.Left, e.Hit.Top, 34, 34), 5) << "point " << k;
        // Centred on the point: the changed pixels' middle is the point's centre.
        double sum = 0;
        int count = 0;
        for (int y = e.Hit.Top; y < e.Hit.Top + 34; ++y)
            for (int x = e.Hit.Left; x < e.Hit.Left + 34; ++x)
                if (At(x, y) != plain[static_cast<size_t>(y) * frame_.Width() + x]) {
                    sum += x;
                    ++count;
                }
        EXPECT_NEAR(sum / std::max(count, 1), e.Centre.X, 3.0) << "point " << k;
    }
    for (uint8_t key : {'Q', 'W', 'E'}) keys_.Type(key);
    DrawPatternScreen(frame_, view_, false, false);
    EXPECT_GT(whiteIn(box.X, box.Y, 256, 24), 10);  // the stars
    EXPECT_EQ(whiteIn(box.X, box.Y, 100, 24), 0);   // centred, not from the left
}

TEST_P(Screens, AlarmScreenAlternatesShields) {
    const int w = frame_.Width(), h = frame_.Height();
    const LayoutPosition shield = Layout.AlarmPictureOrigin();
    DrawAlertScreen(frame_, Images, Layout, 57, true);
    EXPECT_EQ(At(shield.X + 117, shield.Y + 128), 0xFFFF0000u);
    EXPECT_EQ(At(shield.X + 1, shield.Y + 1), 0xFFFF0000u);
    EXPECT_EQ(At(shield.X - 1, shield.Y + 128), kAlphaOne);
    EXPECT_EQ(At(shield.X + 235, shield.Y + 128), kAlphaOne);
    EXPECT_GT(Ink(w / 2 - 80, h / 2 - 180, 160, 26), 100);   // "ATTACKING WARNING!"
    EXPECT_GT(Ink(w / 2 - 80, h / 2 + 150, 160, 24), 100);   // "System is locked in 57 seconds"
    EXPECT_EQ(At(Layout.PanelOrigin().X - 30, h / 2), kAlphaOne);        // no panel on this screen
    DrawAlertScreen(frame_, Images, Layout, 56, false);
    EXPECT_EQ(At(shield.X + 117, shield.Y + 128), 0xFF0000FFu);
}

// Each part redrawn alone after the change it is there for leaves the frame exactly as a whole
// redraw would: a part too small for its change shows here as rows that differ.
TEST_P(Screens, PartRedrawLeavesTheFrameAsAWholeRedraw) {
    const int w = frame_.Width(), h = frame_.Height(), points = Layout.GridSide * Layout.GridSide;
    LayeredFrame whole;
    ASSERT_TRUE(whole.CreateGraphic(nullptr, w, h));
    whole.MakeTrailPens();
    auto expectSame = [&](ScreenPart part, bool isAction, const char* what) {
        DrawPatternRegion(frame_, view_, isAction, false, ScreenPartRect(Layout, part, w, h));
        DrawPatternScreen(whole, view_, isAction, false);
        GdiFlush();
        int differ = 0;
        for (int y = 0; y < h; ++y) differ += !std::equal(frame_.Row(y), frame_.Row(y) + w, whole.Row(y));
        EXPECT_EQ(differ, 0) << what;
    };
    DrawPatternScreen(frame_, view_, false, false);
    for (int k : {1, points, Layout.GridSide, points - Layout.GridSide + 1}) entry_.Add(k);
    expectSame(ScreenPart::Panel, true, "trail from corner to corner");
    entry_.Reset(points);
    expectSame(ScreenPart::Panel, false, "trail gone");
    view_.hotItem = kIconKeyboard;
    expectSame(ScreenPart::Icons, false, "hot icon");
    view_.hotItem = -1;
    expectSame(ScreenPart::Icons, false, "hot icon gone");
    view_.timeText = "12:59 PM";
    view_.dateText = "Wednesday, September 30, 2026";
    expectSame(ScreenPart::Clock, false, "clock");
    view_.unlockMode = kDynamicPasswordMode;
    DrawPatternScreen(frame_, view_, false, false);
    keys_.Type('A');
    keys_.Type('B');
    expectSame(ScreenPart::InputBox, false, "typed stars");
}

INSTANTIATE_TEST_SUITE_P(Sizes, Screens,
                         ::testing::Values(ScreenCase{1366, 768, 1}, ScreenCase{1920, 1080, 0},
                                           ScreenCase{1366, 768, 2}));

}  // namespace

namespace {

SYSTEMTIME Time(int year, int month, int day, int dayOfWeek, int hour, int minute) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wDayOfWeek = static_cast<WORD>(dayOfWeek);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    return t;
}

TEST(ClockText, TwelveHourClockWithAmPm) {
    const struct { int hour, minute; const char* text; } cases[] = {
        {0, 5, "12:05 AM"}, {9, 0, "9:00 AM"}, {11, 59, "11:59 AM"},
        {12, 0, "12:00 PM"}, {13, 7, "1:07 PM"}, {23, 59, "11:59 PM"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatTimeText(Time(2024, 3, 4, 1, c.hour, c.minute)), c.text) << c.hour << ":" << c.minute;
}

std::string LocaleText(LCTYPE type) {
    char text[80] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
    return text;
}

TEST(ClockText, DateWithTheUsersDayAndMonthNames) {
    // The locale's day table starts on Monday, SYSTEMTIME's week on Sunday.
    EXPECT_EQ(FormatDateText(Time(2024, 3, 4, 1, 10, 0)),
              LocaleText(LOCALE_SDAYNAME1) + ", " + LocaleText(LOCALE_SMONTHNAME3) + " 04, 2024");
    EXPECT_EQ(FormatDateText(Time(2023, 12, 31, 0, 10, 0)),
              LocaleText(LOCALE_SDAYNAME7) + ", " + LocaleText(LOCALE_SMONTHNAME12) + " 31, 2023");
    if (GetUserDefaultLCID() == 0x0409) {
        EXPECT_EQ(FormatDateText(Time(2024, 3, 4, 1, 10, 0)), "Monday, March 04, 2024");
    }
}

}  // namespace
