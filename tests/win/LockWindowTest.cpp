// The lock window driven through its own messages, as the system delivers them: drawing and
// checking a pattern, wrong entries up to the alarm, the Dynamic Password keys, the mode icons,
// hiding, the idle and clock timers. The unlock call is replaced to record what it saw.
#include <gtest/gtest.h>

#include <set>

#include "core/ConfigData.h"
#include "core/ProgramFiles.h"
#include "lockscreen/LockWindow.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "support/DrawTestSupport.h"
#include "system/LockRecord.h"
#include "system/Messages.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

using namespace drawtest;

namespace {

constexpr uint32_t kAlphaOne = 0x01000000;
constexpr uint32_t kDotOverPanel = 0xEEAAAAAA;

struct UnlockCall {
    bool isLock;
    bool isStartup;
    uint32_t firstRingRim;  // the frame at the moment of the call
};
std::vector<UnlockCall> gCalls;
int gFirstPoint = 1;
const LockWindow* gWindow = nullptr;   // the window under test

void RecordLock(bool isLock, bool isStartup) {
    uint32_t rim = 0;
    if (gWindow && gWindow->Frame()) {
        const LayoutEntry& e = Layout.Point(gFirstPoint);
        rim = gWindow->Frame()->PixelAt(e.Image.Left + 26, e.Image.Top);
    }
    gCalls.push_back({isLock, isStartup, rim});
}

LockWindow* gEndingWindow = nullptr;   // ended by the unlock, as one that ends the program would

// The lock control the window under test is given: the state is the session's, which the tests
// set up; a request is only recorded.
class RecordingLockControl final : public LockControl {
public:
    const LockState& State() const override { return TestSession().State(); }
    void RequestLock(bool isLock) override {
        RecordLock(isLock, false);
        if (gEndingWindow) gEndingWindow->Destroy();
    }
};
RecordingLockControl gLockControl;

class LockWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
        // A wait kept by an earlier test's alarm would refuse this test's entries.
        WriteAlertWaits({});
        SelectGrid(0);
        Config.AlertTimes = 0;
        Config.AlertMode = 0;
        Config.AutoHideTime = 0;
        Config.AutoLockTime = 0;
        Config.MonitorOffTime = 0;
        LockStateTestAccess::SetUnlockMode(kNormalUnlockMode);
        LockStateTestAccess::SetPhase(LockPhase::Unlocked);
        LockStateTestAccess::SetLockWindowHidden(false);
        gCalls.clear();
        gWindow = &window_;
        if (!window_.Create(GetModuleHandleA(nullptr))) GTEST_SKIP() << "no display for windows";
        LoadStandInImages(window_.Graphics(), nullptr);
        ShowWindow(window_.Hwnd(), SW_SHOWNOACTIVATE);
        window_.PatternNormal();
    }
    void TearDown() override {
        window_.Destroy();
        Images.FreeAll();
        LockStateTestAccess::SetUnlockMode(kNormalUnlockMode);
        LockStateTestAccess::SetPhase(LockPhase::Unlocked);
        LockStateTestAccess::SetLockWindowHidden(false);
    }
    void SelectGrid(int grid) {
        Config.Grid = static_cast<uint8_t>(grid);
        SetDefaultPattern(Config);
        ComputeLayout(Layout, grid, ScreenWidth, ScreenHeight);
        const int points = Layout.GridSide * Layout.GridSide;
        EnteredKeys.Reset(points);
        PointLetters = MakeRandomLetters(points, CryptoUniform);
    }
    std::vector<int> Secret() const {
        std::vector<int> points;
        for (int i = 1; i <= Layout.GridSide * Layout.GridSide; ++i)
            if (Config.SecretPattern[static_cast<size_t>(i)] != 0) points.push_back(Config.SecretPattern[static_cast<size_t>(i)]);
        return points;
    }
    const LayoutEntry& Entry(int k) const { return Layout.Point(k); }
    void Send(UINT msg, int x, int y) {
        SendMessageA(window_.Hwnd(), msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Press(int point) { Send(WM_LBUTTONDOWN, Entry(point).Centre.X, Entry(point).Centre.Y); }
    void MoveTo(int point) { Send(WM_MOUSEMOVE, Entry(point).Centre.X, Entry(point).Centre.Y); }
    void Drag(const std::vector<int>& points) {
        gFirstPoint = points.front();
        Press(points.front());
        for (int point : points) MoveTo(point);
        Send(WM_LBUTTONUP, Entry(points.back()).Centre.X, Entry(points.back()).Centre.Y);
    }
    void Key(int keyCode) { SendMessageA(window_.Hwnd(), WM_KEYDOWN, static_cast<WPARAM>(keyCode), 0); }
    void Tick(UINT_PTR timer, int times = 1) {
        for (int i = 0; i < times; ++i) SendMessageA(window_.Hwnd(), WM_TIMER, timer, 0);
    }
    uint32_t At(int x, int y) const { return window_.Frame()->PixelAt(x, y); }
    uint32_t DotCentre(int point) const { return At(Entry(point).Centre.X, Entry(point).Centre.Y); }
    uint32_t RingRim(int point) const { return At(Entry(point).Image.Left + 26, Entry(point).Image.Top); }
    // A wrong entry: one point that is not the whole secret.
    std::vector<int> WrongEntry() const { return Secret().front() == 1 ? std::vector<int>{2} : std::vector<int>{1}; }

    ConfigData Config;   // the window's own settings: the session's stay as they are
    LockWindow window_{Config, TestSession().Model(), Images, gLockControl, TestSession(), TestSession()};
};

TEST_F(LockWindowTest, RightPatternShowsRedThenUnlocksAndClears) {
    Drag(Secret());
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_FALSE(gCalls[0].isLock);
    EXPECT_FALSE(gCalls[0].isStartup);
    EXPECT_GT(Red(gCalls[0].firstRingRim), 0x60u) << std::hex << gCalls[0].firstRingRim;
    EXPECT_LT(Blue(gCalls[0].firstRingRim), 0x20u);
    // Back to the idle screen with an empty entry.
    EXPECT_TRUE(Near(DotCentre(Secret().front()), kDotOverPanel, 1));
    EXPECT_EQ(window_.Frame()->ConstantAlpha(), 255);
}

TEST_F(LockWindowTest, WrongPatternDoesNotUnlock) {
    Drag(WrongEntry());
    EXPECT_TRUE(gCalls.empty());
    EXPECT_FALSE(window_.IsAlarm());  // wrong entries are not counted without an alert
}

TEST_F(LockWindowTest, DrawingShowsBlueRingsAndEscCancels) {
    Press(1);
    MoveTo(2);
    EXPECT_GT(Blue(RingRim(1)), 0x60u);
    EXPECT_GT(Blue(RingRim(2)), 0x60u);
    Key(VK_ESCAPE);
    EXPECT_TRUE(Near(DotCentre(1), kDotOverPanel, 1));
    Send(WM_LBUTTONUP, Entry(2).Centre.X, Entry(2).Centre.Y);
    EXPECT_TRUE(gCalls.empty());  // nothing left to check
}

TEST_F(LockWindowTest, PressOutsideThePointsStartsNothing) {
    Send(WM_LBUTTONDOWN, 5, 5);
    MoveTo(1);
    EXPECT_TRUE(Near(DotCentre(1), kDotOverPanel, 1));
    Send(WM_LBUTTONUP, Entry(1).Centre.X, Entry(1).Centre.Y);
    EXPECT_TRUE(gCalls.empty());
}

TEST_F(LockWindowTest, SecureModeDrawsNoTrailButUnlocks) {
    LockStateTestAccess::SetUnlockMode(kSecureUnlockMode);
    Press(Secret().front());
    EXPECT_TRUE(Near(DotCentre(Secret().front()), kDotOverPanel, 1));
    Send(WM_LBUTTONUP, 0, 0);
    Drag(Secret());
    ASSERT_EQ(gCalls.size(), 1u);
}

TEST_F(LockWindowTest, WrongEntriesStartTheAlarmWhichIgnoresInputAndEnds) {
    Config.AlertTimes = 2;
    Config.AlertMode = 1;
    Drag(WrongEntry());
    EXPECT_FALSE(window_.IsAlarm());
    Drag(WrongEntry());
    ASSERT_TRUE(window_.IsAlarm());
    // The alarm screen: blue shield first, then red.
    Tick(4);
    const LayoutPosition shield = Layout.AlarmPictureOrigin();
    EXPECT_EQ(At(shield.X + 117, shield.Y + 128), kBlueShield);
    Tick(4);
    EXPECT_EQ(At(shield.X + 117, shield.Y + 128), kRedShield);
    EXPECT_EQ(CountInk(*window_.Frame(), Layout.PanelOrigin().X - 40, Layout.PanelOrigin().Y - 40, 20, 20, kAlphaOne), 0);
    // Presses, moves and keys do nothing while it runs.
    Drag(Secret());
    Key('A');
    EXPECT_TRUE(gCalls.empty());
    Tick(3, 59);
    EXPECT_TRUE(window_.IsAlarm());
    Tick(3);
    EXPECT_FALSE(window_.IsAlarm());
    EXPECT_TRUE(Near(DotCentre(1), kDotOverPanel, 1));  // the idle screen is back
    Tick(4);  // a draw tick still queued when the alarm ended
    Tick(3);
    EXPECT_TRUE(Near(DotCentre(1), kDotOverPanel, 1));
    EXPECT_FALSE(window_.IsAlarm());
    Drag(Secret());
    EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(LockWindowTest, RightEntryInBetweenResetsTheWrongCount) {
    Config.AlertTimes = 2;
    Config.AlertMode = 1;
    Drag(WrongEntry());
    Drag(Secret());
    Drag(WrongEntry());
    EXPECT_FALSE(window_.IsAlarm());
}

TEST_F(LockWindowTest, OutOfRangeAlertModeIsRepairedAndSaved) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const ProgramFiles saved = TheProgramFiles();
    SetProgramFiles({.ConfigFilePath = std::string(folder) + "orvo-draw-alert.cfg"});
    DeleteFileA(TheProgramFiles().ConfigFilePath.c_str());
    Config.AlertMode = 9;
    window_.ProcessAlertMode(9);
    EXPECT_EQ(Config.AlertMode, 1);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(TheProgramFiles().ConfigFilePath.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, kConfigFileSize);
    EXPECT_TRUE(window_.IsAlarm());  // a one-minute alarm
    Tick(3, 60);
    EXPECT_FALSE(window_.IsAlarm());
    DeleteFileA(TheProgramFiles().ConfigFilePath.c_str());
    SetProgramFiles(saved);
}

int gShutdowns = 0;
long CountShutdown(int) {
    ++gShutdowns;
    return 0;
}
int gMessages = 0;
int CountMessage(const std::string&, const std::string&, uint32_t) {
    ++gMessages;
    return IDOK;
}

TEST_F(LockWindowTest, AlertModesFourAndFiveHandOverWithoutAlarm) {
    gShutdowns = 0;
    gMessages = 0;
    const ShutdownSystemFn previousShutdown = SetShutdownSystemFn(CountShutdown);
    const MessageHook previousHook = SetMessageHook(CountMessage);
    Config.AlertTimes = 1;
    Config.AlertMode = 5;
    Drag(WrongEntry());
    // Switched off, or the failure said so; either way no alarm and the lock stays.
    EXPECT_EQ(gShutdowns + gMessages, 1);
    EXPECT_FALSE(window_.IsAlarm());
    Config.AlertMode = 4;
    Drag(WrongEntry());  // the system's own lock screen (nothing happens under Wine)
    EXPECT_FALSE(window_.IsAlarm());
    EXPECT_TRUE(gCalls.empty());
    SetMessageHook(previousHook);
    SetShutdownSystemFn(previousShutdown);
}

TEST_F(LockWindowTest, DynamicPasswordKeysFillBeepAndCheck) {
    SelectGrid(2);
    window_.Destroy();
    ASSERT_TRUE(window_.Create(GetModuleHandleA(nullptr)));
    LoadStandInImages(window_.Graphics(), nullptr);
    LockStateTestAccess::SetUnlockMode(kDynamicPasswordMode);
    for (int i = 0; i < 26; ++i) Key('A' + i);
    EXPECT_EQ(EnteredKeys.Count(), 25);
    Key(VK_BACK);
    EXPECT_EQ(EnteredKeys.Count(), 24);
    Key(VK_RETURN);  // wrong: cleared, no unlock
    EXPECT_EQ(EnteredKeys.Count(), 0);
    EXPECT_TRUE(gCalls.empty());
    Key(VK_BACK);  // nothing typed: a beep, nothing else
    EXPECT_EQ(EnteredKeys.Count(), 0);
    // Shift for a capital letter is not a key of the entry.
    for (int point : Secret()) {
        Key(VK_SHIFT);
        Key(PointLetters[static_cast<size_t>(point)]);
    }
    EXPECT_EQ(EnteredKeys.Count(), static_cast<int>(Secret().size()));
    Key(VK_RETURN);
    EXPECT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(EnteredKeys.Count(), 0);
}

TEST_F(LockWindowTest, IconsHoverAndSwitchTheMode) {
    const LayoutSquare& keyboard = Layout.Icon(kIconKeyboard).Hit;
    Send(WM_MOUSEMOVE, keyboard.Left + 10, keyboard.Top + 10);
    EXPECT_EQ(window_.HotItem(), kIconKeyboard);
    Send(WM_LBUTTONDOWN, keyboard.Left + 10, keyboard.Top + 10);
    Send(WM_LBUTTONUP, keyboard.Left + 10, keyboard.Top + 10);
    EXPECT_EQ(CurrentLockState().UnlockMode(), kDynamicPasswordMode);
    const int points = Layout.GridSide * Layout.GridSide;
    ASSERT_EQ(PointLetters.size(), static_cast<size_t>(points) + 1);
    EXPECT_EQ(std::set<uint8_t>(PointLetters.begin() + 1, PointLetters.end()).size(), static_cast<size_t>(points));
    EXPECT_EQ(EnteredKeys.Count(), 0);
    const LayoutSquare& trail = Layout.Icon(kIconPatternDisplay).Hit;
    Send(WM_MOUSEMOVE, trail.Left + 10, trail.Top + 10);
    EXPECT_EQ(window_.HotItem(), kIconPatternDisplay);
    Send(WM_LBUTTONUP, trail.Left + 10, trail.Top + 10);
    EXPECT_EQ(CurrentLockState().UnlockMode(), kNormalUnlockMode);
    Send(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(window_.HotItem(), -1);
    Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(CurrentLockState().UnlockMode(), kNormalUnlockMode);  // a click elsewhere changes nothing
}

TEST_F(LockWindowTest, EnterHidesUntilTheNextIdleScreen) {
    window_.PatternNormal();
    const POINT centre{ScreenWidth / 2, ScreenHeight / 2};
    EXPECT_EQ(WindowFromPoint(centre), window_.Hwnd());
    Key(VK_RETURN);
    EXPECT_TRUE(CurrentLockState().IsLockWindowHidden());
    EXPECT_EQ(window_.Frame()->ConstantAlpha(), 0);
    EXPECT_NE(GetWindowLongA(window_.Hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_NE(WindowFromPoint(centre), window_.Hwnd());  // the pointer reaches what is below
    Key(VK_RETURN);  // already hidden: nothing more
    window_.PatternNormal();
    EXPECT_EQ(window_.Frame()->ConstantAlpha(), 255);
    EXPECT_EQ(GetWindowLongA(window_.Hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    EXPECT_EQ(WindowFromPoint(centre), window_.Hwnd());
}

TEST_F(LockWindowTest, OnlyMovesRightOrDownCountAsActivity) {
    LockStateTestAccess::SetLastActiveTick(0);
    Send(WM_MOUSEMOVE, 100, 100);
    EXPECT_EQ(CurrentLockState().LastActiveTick(), 0u);  // the first position only
    Send(WM_MOUSEMOVE, 90, 90);
    Send(WM_MOUSEMOVE, 91, 91);
    EXPECT_EQ(CurrentLockState().LastActiveTick(), 0u);  // left/up, then by one pixel
    Send(WM_MOUSEMOVE, 95, 91);
    EXPECT_NE(CurrentLockState().LastActiveTick(), 0u);
    LockStateTestAccess::SetLockWindowHidden(true);
    Send(WM_MOUSEMOVE, 96, 96);
    EXPECT_FALSE(CurrentLockState().IsLockWindowHidden());
}

TEST_F(LockWindowTest, PressOnAPointIsAMoveForActivityAndMonitor) {
    const LayoutEntry& first = Entry(1);
    Send(WM_MOUSEMOVE, first.Hit.Left - 20, first.Hit.Top - 20);  // up and left of the point
    LockStateTestAccess::SetLastActiveTick(0);
    LockStateTestAccess::SetMonitorOff(true);
    LockStateTestAccess::SetLockWindowHidden(true);
    Press(1);  // right and down of the last move
    EXPECT_NE(CurrentLockState().LastActiveTick(), 0u);
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
    EXPECT_FALSE(CurrentLockState().IsLockWindowHidden());
    Send(WM_LBUTTONUP, first.Centre.X, first.Centre.Y);
}

TEST_F(LockWindowTest, UnlockThatEndsTheWindowLeavesNoClickBehind) {
    gEndingWindow = &window_;
    Drag(Secret());
    gEndingWindow = nullptr;
    EXPECT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(window_.Hwnd(), nullptr);
}

TEST_F(LockWindowTest, IdleTimerHidesTheLockedWindowAfterInactivity) {
    LockStateTestAccess::SetPhase(LockPhase::Locked);
    Config.AutoHideTime = 1;
    LockStateTestAccess::SetLastActiveTick(GetTickCount() - 5000);
    window_.PatternNormal();
    Tick(1);
    EXPECT_TRUE(CurrentLockState().IsLockWindowHidden());
    EXPECT_EQ(window_.Frame()->ConstantAlpha(), 0);
}

TEST_F(LockWindowTest, ClockRedrawsOnlyWhenItsTextChanges) {
    window_.PatternNormal();
    Tick(2);  // the first tick always finds new text
    for (int attempt = 0; attempt < 3; ++attempt) {
        window_.Frame()->ClearFrame(0xFF00FF00);
        SYSTEMTIME before{}, after{};
        GetLocalTime(&before);
        Tick(2);
        GetLocalTime(&after);
        if (before.wMinute != after.wMinute) continue;  // the minute turned meanwhile
        EXPECT_EQ(At(5, 5), 0xFF00FF00u);
        return;
    }
}

TEST_F(LockWindowTest, CloseMessageDoesNotCloseIt) {
    SendMessageA(window_.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window_.Hwnd()));
}

}  // namespace
