// Monitor enumeration, the choice of monitors to cover, the painting of one cover (read back
// from its frame) and its input handlers. Xvfb offers one monitor; the test that needs several
// skips there and runs on a multi-screen Xephyr display.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "cover/MonitorCover.h"
#include "cover/MonitorCovers.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000;

MONITORINFO Monitor(LONG left, LONG top, LONG right, LONG bottom, bool primary = false) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    info.rcMonitor = {left, top, right, bottom};
    info.rcWork = info.rcMonitor;
    info.dwFlags = primary ? MONITORINFOF_PRIMARY : 0;
    return info;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST(MonitorTable, EnumProcKeepsCountingPastTheSixteenRecords) {
    const HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    ASSERT_NE(primary, nullptr);
    MONITORINFO expected{};
    expected.cbSize = sizeof expected;
    ASSERT_TRUE(GetMonitorInfoA(primary, &expected));

    MonitorList list;
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(MonitorEnumProc(primary, nullptr, nullptr, reinterpret_cast<LPARAM>(&list)));
    EXPECT_EQ(list.Count, 20);
    for (const MONITORINFO& info : list.Table) {
        EXPECT_EQ(info.cbSize, 40u);
        EXPECT_TRUE(SameRect(info.rcMonitor, expected.rcMonitor));
    }
}

TEST(MonitorTable, EnumMonitorsSeesThePlatformsMonitorsWithOnePrimary) {
    const MonitorList list = EnumMonitors();
    EXPECT_EQ(list.Count, GetSystemMetrics(SM_CMONITORS));
    const int filled = std::min(list.Count, kMonitorTableSize);
    const auto primaries = std::count_if(list.Table.begin(), list.Table.begin() + filled,
                                         [](const MONITORINFO& m) { return (m.dwFlags & MONITORINFOF_PRIMARY) != 0; });
    EXPECT_EQ(primaries, 1);
}

TEST(FurtherMonitors, EveryRecordedMonitorButThePrimaryWhereverItIsListed) {
    // The primary enumerated second: both others are covered, the primary is not.
    const MONITORINFO three[] = {Monitor(-1080, 0, 0, 1920), Monitor(0, 0, 1920, 1080, true),
                                 Monitor(1920, 0, 3200, 1024)};
    const std::vector<RECT> rects = FurtherMonitorRects(three, 3);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_TRUE(SameRect(rects[0], three[0].rcMonitor));
    EXPECT_TRUE(SameRect(rects[1], three[2].rcMonitor));
}

TEST(FurtherMonitors, EmptyRecordsAndMonitorsBeyondTheTableGetNoCover) {
    std::vector<MONITORINFO> table(kMonitorTableSize);
    table[0] = Monitor(0, 0, 800, 600, true);
    for (int i = 1; i < kMonitorTableSize; ++i) table[i] = Monitor(800 * i, 0, 800 * (i + 1), 600);
    table[5] = MONITORINFO{};   // its query failed
    // 20 monitors counted, only 16 recorded: 14 covers (16 minus the primary and the empty one).
    EXPECT_EQ(FurtherMonitorRects(table.data(), 20).size(), 14u);
    EXPECT_EQ(FurtherMonitorRects(table.data(), 1).size(), 0u);
    EXPECT_TRUE(FurtherMonitorRects(nullptr, 3).empty());
}

TEST(FurtherCovers, OneMonitorShowsNoCover) {
    if (GetSystemMetrics(SM_CMONITORS) != 1) GTEST_SKIP() << "more than one monitor";
    MonitorCovers& further = TestSession().FurtherCovers();
    further.Show(true);
    EXPECT_TRUE(further.Windows().empty());
    EXPECT_EQ(FindWindowA("OrvoPCLockMonitor", nullptr), nullptr);
    further.Show(false);
}

TEST(FurtherCovers, EveryFurtherMonitorIsCoveredAndUncoveredTogether) {
    const int monitors = GetSystemMetrics(SM_CMONITORS);
    if (monitors < 2) GTEST_SKIP() << "one monitor only (Xvfb); run on a multi-screen Xephyr display";
    Config.TransparentBackground = 0;
    MonitorCovers& further = TestSession().FurtherCovers();
    further.Show(true);
    const std::vector<HWND> covers = further.Windows();
    ASSERT_EQ(covers.size(), static_cast<size_t>(monitors - 1));
    const MonitorList list = EnumMonitors();
    const std::vector<RECT> expected = FurtherMonitorRects(list.Table.data(), list.Count);
    for (size_t i = 0; i < covers.size(); ++i) {
        SCOPED_TRACE(i);
        RECT rc{};
        ASSERT_TRUE(GetWindowRect(covers[i], &rc));
        EXPECT_TRUE(SameRect(rc, expected[i]));
        EXPECT_TRUE(IsWindowVisible(covers[i]));
        EXPECT_TRUE(GetWindowLongPtrA(covers[i], GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    further.Show(false);
    EXPECT_TRUE(further.Windows().empty());
    for (HWND cover : covers) EXPECT_FALSE(IsWindowVisible(cover));
    // A second lock reuses the same windows.
    further.Show(true);
    EXPECT_EQ(further.Windows(), covers);
    // A cover destroyed anyway is made again over its monitor.
    DestroyWindow(covers[0]);
    ASSERT_TRUE(further.AnyMissing());
    further.RemakeMissing();
    RECT remade{};
    ASSERT_TRUE(GetWindowRect(further.Windows().at(0), &remade));
    EXPECT_TRUE(SameRect(remade, expected[0]) && IsWindowVisible(further.Windows()[0]));
    further.Show(false);
    further.Destroy();
    for (HWND cover : covers) EXPECT_FALSE(IsWindow(cover));
}

namespace {

// A cover of the given size, not shown, with a plain red background picture of the primary
// screen's size in the image table.
class CoverPaint : public ::testing::Test {
protected:
    void SetUp() override {
        savedWidth_ = ScreenWidth;
        savedHeight_ = ScreenHeight;
        Config.TransparentBackground = 0;
    }
    void TearDown() override {
        Images.Free(kSlotBackground);
        ScreenWidth = savedWidth_;
        ScreenHeight = savedHeight_;
        Config.TransparentBackground = 0;
    }
    static void SetRedPicture(int width, int height) {
        GdiPlusPtr<Gdiplus::Bitmap> bitmap = NewGdiPlus<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
        ASSERT_TRUE(bitmap);
        {
            Gdiplus::Graphics graphics(bitmap.get());
            graphics.Clear(Gdiplus::Color(kRed));
        }
        Images.SetImage(kSlotBackground, std::move(bitmap));
    }
    void Paint(int primaryWidth, int primaryHeight, int width, int height) {
        ScreenWidth = primaryWidth;
        ScreenHeight = primaryHeight;
        ASSERT_TRUE(cover_.Create(GetModuleHandleA(nullptr), RECT{0, 0, width, height}));
        cover_.PaintCover();
        ASSERT_TRUE(cover_.Frame().IsReady());
    }
    uint32_t At(int x, int y) const { return cover_.Frame().PixelAt(x, y); }

    MonitorCover cover_{Config, TestSession().Model(), Images, TestSession(), TestSession()};
    int savedWidth_ = 0, savedHeight_ = 0;
};

}  // namespace

TEST_F(CoverPaint, PortraitMonitorShowsThePictureLetterboxed) {
    SetRedPicture(1920, 1080);
    Paint(1920, 1080, 1080, 1920);
    // 1080 wide keeps 16:9 at 607.5 -> 608 rows, starting at (1920 - 608) / 2 = 656.
    for (int x : {0, 540, 1079}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(At(x, 0), kBlack);
        EXPECT_EQ(At(x, 655), kBlack);
        EXPECT_EQ(At(x, 656), kRed);
        EXPECT_EQ(At(x, 960), kRed);
        EXPECT_EQ(At(x, 1263), kRed);
        EXPECT_EQ(At(x, 1264), kBlack);
        EXPECT_EQ(At(x, 1919), kBlack);
    }
}

TEST_F(CoverPaint, LandscapeMonitorShowsThePictureStretchedOverAll) {
    SetRedPicture(1920, 1080);
    Paint(1920, 1080, 1280, 1024);
    for (POINT p : {POINT{0, 0}, POINT{1279, 0}, POINT{0, 1023}, POINT{1279, 1023}, POINT{640, 512}})
        EXPECT_EQ(At(p.x, p.y), kRed) << p.x << "," << p.y;
}

TEST_F(CoverPaint, TransparentBackgroundLeavesAnAlphaOneLayer) {
    SetRedPicture(1920, 1080);
    Config.TransparentBackground = 1;
    Paint(1920, 1080, 640, 480);
    for (POINT p : {POINT{0, 0}, POINT{320, 240}, POINT{639, 479}})
        EXPECT_EQ(At(p.x, p.y), PremultiplyArgb(kClearAlphaOne)) << p.x << "," << p.y;
}

TEST_F(CoverPaint, MissingPictureLeavesTheCoverBlack) {
    Images.Free(kSlotBackground);
    Paint(1920, 1080, 640, 480);
    EXPECT_EQ(At(0, 0), kBlack);
    EXPECT_EQ(At(639, 479), kBlack);
}

TEST_F(CoverPaint, MovedMonitorMovesTheCoverAndResizesItsFrame) {
    SetRedPicture(1920, 1080);
    Paint(1920, 1080, 640, 480);
    const RECT moved{1366, 0, 1366 + 768, 1024};
    cover_.Place(moved);
    RECT rc{};
    ASSERT_TRUE(GetWindowRect(cover_.Hwnd(), &rc));
    EXPECT_TRUE(SameRect(rc, moved));
    cover_.PaintCover();
    EXPECT_EQ(cover_.Frame().Width(), 768);
    EXPECT_EQ(cover_.Frame().Height(), 1024);
    // Portrait now: 768 * 1080 / 1920 = 432 rows from (1024 - 432) / 2 = 296.
    EXPECT_EQ(At(10, 295), kBlack);
    EXPECT_EQ(At(10, 296), kRed);
    EXPECT_EQ(At(10, 727), kRed);
    EXPECT_EQ(At(10, 728), kBlack);
}

TEST_F(CoverPaint, ClickOrEnterRecallsTheLockWindowAndMovementWakesTheMonitor) {
    Paint(1920, 1080, 100, 100);
    const HWND hwnd = cover_.Hwnd();
    LockStateTestAccess::SetLockWindowHidden(true);
    LockStateTestAccess::SetMonitorOff(true);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
    EXPECT_TRUE(CurrentLockState().IsLockWindowHidden()) << "moving the pointer alone does not recall the lock window";

    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(CurrentLockState().IsLockWindowHidden()) << "only Enter recalls";

    LockStateTestAccess::SetMonitorOff(true);
    LockStateTestAccess::SetLastActiveTick(GetTickCount() - 60000);
    const DWORD before = GetTickCount();
    SendMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(CurrentLockState().IsLockWindowHidden());
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
    EXPECT_LT(CurrentLockState().LastActiveTick() - before, 60000u);

    LockStateTestAccess::SetLockWindowHidden(true);
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(CurrentLockState().IsLockWindowHidden());
}
