// The verify dialog driven with the pointer messages a user's drag produces: its window and
// controls, the grid it draws, which presses start an entry, and what a right or a wrong
// pattern leads to (the configuration dialog opens once; a wrong one only clears the grid).
#include <gtest/gtest.h>

#include <cstdlib>

#include "lockscreen/VerifyDialog.h"
#include "lockscreen/VerifyDialog.h"
#include "support/ConfigTestSupport.h"
#include "support/LockStateTestAccess.h"
#include "tray/TrayWindow.h"
#include "support/SessionSupport.h"

using namespace configtest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLineBlue = 0x003FFF;

struct TitleSearch {
    const char* Title;
    int Count;
};

BOOL CALLBACK CountTitled(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<TitleSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[128] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid == GetCurrentProcessId() && lstrcmpA(text, search->Title) == 0) ++search->Count;
    return TRUE;
}

int CountWindowsTitled(const char* title) {
    TitleSearch search{title, 0};
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
    return search.Count;
}

class VerifyDialogTest : public ConfigDialogFixture {
protected:
    void TearDown() override {
        TestSession().CloseVerifyDialog();
        Pump();
        ConfigDialogFixture::TearDown();
    }
    HWND OpenVerify() {
        TestSession().ShowVerifyDialog();
        Pump();
        verify_ = TestSession().VerifyDialogHwnd();
        EXPECT_NE(verify_, nullptr) << "the verify dialog did not open";
        box_ = FindControl(verify_, kIdPicVerify);
        EXPECT_NE(box_, nullptr);
        return verify_;
    }
    static POINT Centre(int point) {
        const LayoutEntry& e = Layout.SmallPoint(point);
        return {e.Centre.X, e.Centre.Y};
    }
    void Post(UINT msg, WPARAM keys, POINT at) {
        PostMessageA(box_, msg, keys, MAKELPARAM(at.x, at.y));
    }
    // Press on the first point, move over the others; the button stays down.
    void DragHeld(std::initializer_list<int> points) {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Centre(*points.begin()));
        for (int p : points) Post(WM_MOUSEMOVE, MK_LBUTTON, Centre(p));
        Pump();
    }
    void Release() {
        Post(WM_LBUTTONUP, 0, {0, 0});
        Pump();
    }
    void Drag(std::initializer_list<int> points) {
        DragHeld(points);
        Release();
    }
    void DragStored() {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Centre(Config.SecretPattern[1]));
        for (int i = 1; i < kSecretPatternEntries && Config.SecretPattern[i] != 0; ++i) {
            Post(WM_MOUSEMOVE, MK_LBUTTON, Centre(Config.SecretPattern[i]));
        }
        Release();
    }
    // The picture as it is now; the pixel questions below read this copy.
    void Snap() {
        int width = 0, height = 0;
        pixels_ = BoxPixels(verify_, kIdPicVerify, width, height);
        if (width != 320 || height != 320) pixels_.clear();
    }
    uint32_t Pixel(int x, int y) const {
        if (pixels_.empty()) return 0xDEADBEEF;
        return pixels_[static_cast<size_t>(y) * 320 + x];
    }
    uint32_t Midway(int a, int b) const {
        const POINT pa = Centre(a), pb = Centre(b);
        return Pixel((pa.x + pb.x) / 2, (pa.y + pb.y) / 2);
    }
    // Pixels of the point's 37 x 37 square that are neither white nor near-white.
    int MarkedPixels(int point) const {
        const LayoutEntry& e = Layout.SmallPoint(point);
        int marked = 0;
        for (int y = e.Hit.Top; y < e.Hit.Top + 37; ++y) {
            for (int x = e.Hit.Left; x < e.Hit.Left + 37; ++x) marked += (Pixel(x, y) & 0xE0E0E0) != 0xE0E0E0;
        }
        return marked;
    }
    // Red rim pixels in the point's square: only an entered point has them.
    int RedPixels(int point) const {
        const LayoutEntry& e = Layout.SmallPoint(point);
        int red = 0;
        for (int y = e.Hit.Top; y < e.Hit.Top + 37; ++y) {
            for (int x = e.Hit.Left; x < e.Hit.Left + 37; ++x) {
                const uint32_t p = Pixel(x, y);
                red += ((p >> 16) & 0xFF) > 0xB0 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
            }
        }
        return red;
    }
    const VerifyDialog* Verify() const { return TestSession().VerifyDialogObject(); }

    HWND verify_ = nullptr;
    HWND box_ = nullptr;
    std::vector<uint32_t> pixels_;
};

TEST_F(VerifyDialogTest, OpensCentredWithItsControlsAndNoOwner) {
    HWND dialog = OpenVerify();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "Orvo PC Lock - Verify User");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    RECT client{};
    ASSERT_TRUE(GetClientRect(dialog, &client));
    EXPECT_EQ(client.right, 356);
    EXPECT_EQ(client.bottom, 405);

    struct Expected {
        int Id;
        RECT Rect;
        const char* Text;
    };
    for (const Expected& e : {Expected{kIdVerifyLabel1, {90, 10, 264, 25}, "Please enter your secret pattern"},
                              Expected{kIdPicVerify, {17, 37, 337, 357}, nullptr},
                              Expected{kIdCmdCancel, {136, 372, 226, 395}, "&Cancel"}}) {
        HWND control = FindControl(dialog, e.Id);
        ASSERT_NE(control, nullptr) << e.Id;
        const RECT rc = ControlRect(control);
        EXPECT_EQ(rc.left, e.Rect.left) << e.Id;
        EXPECT_EQ(rc.top, e.Rect.top) << e.Id;
        EXPECT_EQ(rc.right, e.Rect.right) << e.Id;
        EXPECT_EQ(rc.bottom, e.Rect.bottom) << e.Id;
        if (e.Text) {
            EXPECT_EQ(WindowText(control), e.Text);
        }
    }

    RECT work{}, window{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_TRUE(GetWindowRect(dialog, &window));
    EXPECT_LE(std::abs((window.left + window.right) - (work.left + work.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (work.top + work.bottom)), 1);
}

TEST_F(VerifyDialogTest, ShowingItAgainKeepsTheOneDialog) {
    HWND first = OpenVerify();
    DragHeld({1, 2});
    TestSession().ShowVerifyDialog();
    Pump();
    EXPECT_EQ(TestSession().VerifyDialogHwnd(), first);
    EXPECT_EQ(CountWindowsTitled(kVerifyCaption), 1);
    ASSERT_NE(Verify(), nullptr);
    EXPECT_EQ(Verify()->Entered().Count(), 2) << "brought forward with its state unchanged";
}

TEST_F(VerifyDialogTest, DrawsEveryPointAndTheTrailWhileDrawing) {
    OpenVerify();
    Snap();
    for (int k = 1; k <= 9; ++k) {
        EXPECT_GT(MarkedPixels(k), 100) << "ring of point " << k;
        EXPECT_EQ(RedPixels(k), 0) << "point " << k << " is not entered yet";
    }
    EXPECT_EQ(Pixel(5, 5), kWhite);
    EXPECT_EQ(Midway(1, 2), kWhite);

    DragHeld({1, 2, 5});
    Snap();
    EXPECT_EQ(Midway(1, 2), kLineBlue);
    EXPECT_EQ(Midway(2, 5), kLineBlue);
    EXPECT_EQ(Midway(5, 9), kWhite);
    EXPECT_GT(RedPixels(1), 10);
    EXPECT_GT(RedPixels(5), 10);
    EXPECT_EQ(RedPixels(9), 0);
}

// The top edge of a hit square is outside it, the left edge inside.
TEST_F(VerifyDialogTest, PressJustBelowTheTopEdgeStartsAnEntry) {
    OpenVerify();
    ASSERT_NE(Verify(), nullptr);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, {70, 70});
    Pump();
    EXPECT_FALSE(Verify()->IsDrawing());
    EXPECT_EQ(Verify()->Entered().Count(), 0);
    Release();
    EXPECT_NE(TestSession().VerifyDialogHwnd(), nullptr) << "a press beside every point checks nothing";

    Post(WM_LBUTTONDOWN, MK_LBUTTON, {70, 71});
    Pump();
    EXPECT_TRUE(Verify()->IsDrawing());
    EXPECT_EQ(Verify()->Entered().Count(), 1);
    EXPECT_EQ(Verify()->Entered().Slots()[1], 1);
}

TEST_F(VerifyDialogTest, WrongPatternsOnlyClearTheGrid) {
    OpenVerify();
    for (int attempt = 0; attempt < 5; ++attempt) {
        Drag({1, 2, 3, 6});
        ASSERT_NE(TestSession().VerifyDialogHwnd(), nullptr) << "attempt " << attempt;
        Snap();
        EXPECT_EQ(Midway(1, 2), kWhite) << "the trail is gone";
        EXPECT_EQ(RedPixels(1), 0);
    }
    EXPECT_TRUE(Recorded().Messages.empty()) << "no message and no alarm";
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr);
    EXPECT_EQ(CountWindowsTitled(kConfigCaption), 0);
}

TEST_F(VerifyDialogTest, RightPatternWaitsThenOpensTheConfigurationOnce) {
    OpenVerify();
    const uint64_t start = GetTickCount64();
    DragStored();
    EXPECT_GE(GetTickCount64() - start, kVerifyCheckDelayMs) << "the trail stays for the wait first";
    EXPECT_EQ(TestSession().VerifyDialogHwnd(), nullptr);
    EXPECT_EQ(CountWindowsTitled(kVerifyCaption), 0);
    EXPECT_NE(TestSession().ConfigDialogHwnd(), nullptr);
    EXPECT_EQ(CountWindowsTitled(kConfigCaption), 1);

    // The configuration dialog is modeless: verifying again brings the same one forward.
    HWND config = TestSession().ConfigDialogHwnd();
    OpenVerify();
    DragStored();
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), config);
    EXPECT_EQ(CountWindowsTitled(kConfigCaption), 1);
}

TEST_F(VerifyDialogTest, DynamicPasswordModeStillTakesThePointsDrawn) {
    Config.UnlockMode = kDynamicPasswordMode;
    LockStateTestAccess::SetUnlockMode(kDynamicPasswordMode);
    PointLetters = {0, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O'};
    OpenVerify();
    DragStored();
    EXPECT_EQ(TestSession().VerifyDialogHwnd(), nullptr);
    EXPECT_NE(TestSession().ConfigDialogHwnd(), nullptr);
}

TEST_F(VerifyDialogTest, EmptyStoredPatternAcceptsAnyEntry) {
    Config.SecretPattern.fill(0);
    OpenVerify();
    Drag({7});
    EXPECT_NE(TestSession().ConfigDialogHwnd(), nullptr);
}

TEST_F(VerifyDialogTest, PrefixOfThePatternIsWrong) {
    OpenVerify();
    Drag({1, 2, 3, 5, 7, 8});   // the default pattern without its last point
    EXPECT_NE(TestSession().VerifyDialogHwnd(), nullptr);
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr);
}

TEST_F(VerifyDialogTest, FiveByFiveGridUsesTheSmallTable) {
    Config.Grid = 2;
    SetDefaultPattern(Config);
    ComputeLayout(Layout, Config.Grid, ScreenWidth, ScreenHeight);
    OpenVerify();
    ASSERT_NE(Verify(), nullptr);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, {260 + 1, 260 + 1});
    Pump();
    EXPECT_EQ(Verify()->Entered().Slots()[1], 25);
    EXPECT_EQ(Verify()->Entered().Capacity(), 25);
    Release();
    DragStored();
    EXPECT_NE(TestSession().ConfigDialogHwnd(), nullptr);
}

// The configuration dialog can change the grid while this dialog stays open.
TEST_F(VerifyDialogTest, FollowsAGridChangeMadeWhileOpen) {
    OpenVerify();
    Config.Grid = 1;
    SetDefaultPattern(Config);
    ComputeLayout(Layout, Config.Grid, ScreenWidth, ScreenHeight);
    ASSERT_NE(Verify(), nullptr);
    DragHeld({16});
    EXPECT_EQ(Verify()->Entered().Slots()[1], 16);
    Release();
    DragStored();
    EXPECT_NE(TestSession().ConfigDialogHwnd(), nullptr);
}

TEST_F(VerifyDialogTest, CancelAndCloseBoxCloseWithoutConfiguration) {
    OpenVerify();
    Click(verify_, kIdCmdCancel);
    Pump();
    EXPECT_EQ(TestSession().VerifyDialogHwnd(), nullptr);
    OpenVerify();
    SendMessageA(verify_, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(TestSession().VerifyDialogHwnd(), nullptr);
    EXPECT_EQ(CountWindowsTitled(kVerifyCaption), 0);
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr);
}

}  // namespace
