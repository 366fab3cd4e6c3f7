// Shows the real lock window and background cover in each of the lock window's screens and
// saves what the display shows, for scripts/lock-screens.sh (run by scripts/tour.sh). Without
// ORVO_SHOT_DIR it only goes through the screens and skips the pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/LockSession.h"
#include "cover/PrimaryCover.h"
#include "lockscreen/LockWindow.h"
#include "ui/ImageTable.h"
#include "support/DrawTestSupport.h"
#include "system/RandomSource.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

using namespace drawtest;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A Unix path as Wine sees it on drive Z:.
std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

class Tour : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyDefaultConfig(Config);
        Config.Grid = 1;
        SetDefaultPattern(Config);
        Config.FileMark = kConfigFileMark;
        // At the screen's DPI, as the program lays its lock screen out.
        TestSession().Model().Fit(Config.Grid, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     ReadScreenDpi());
        resources_ = ProgramResources();
        // Without the built-in picture the cover would be plain black; transparent shows the
        // desktop behind instead.
        Config.TransparentBackground = resources_ ? 0 : -1;
        if (!TestSession().CreateLockWindow(GetModuleHandleA(nullptr)) ||
            !TestSession().CreateCover(GetModuleHandleA(nullptr)))
            GTEST_SKIP() << "no display for windows";
        PatternWindow = TestSession().LockWindowObject();
        Images.Load(Config, TestSession().Model(), PatternWindow->Graphics(), resources_);  // without the artwork the icons and shields stay empty
        shots_ = Env("ORVO_SHOT_DIR");
        framebuffer_ = Env("ORVO_FRAMEBUFFER");
    }
    void TearDown() override {
        if (CurrentLockState().IsLocked()) TestSession().LockComputer(false, false);
        TestSession().CloseLockWindow();
        TestSession().CloseCover();
        Images.FreeAll();
    }
    void Shot(const char* name) {
        Pump(600);  // the compositor repaints after the window's update
        if (shots_.empty() || framebuffer_.empty()) return;
        const std::string target = WinePath(shots_ + "/" + name + ".xwd");
        EXPECT_TRUE(CopyFileA(WinePath(framebuffer_).c_str(), target.c_str(), FALSE)) << name;
    }
    void Send(UINT msg, int point) {
        const LayoutPosition centre = Layout.Point(point).Centre;
        SendMessageA(PatternWindow->Hwnd(), msg, msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(centre.X, centre.Y));
    }
    LockWindow* PatternWindow = nullptr;   // the lock session's
    HMODULE resources_ = nullptr;
    std::string shots_, framebuffer_;
};

TEST_F(Tour, EveryScreen) {
    TestSession().LockComputer(true, true);
    ASSERT_TRUE(CurrentLockState().IsLocked());
    Shot("lock-idle");

    Send(WM_LBUTTONDOWN, 1);
    for (int point : {1, 2, 6, 11, 12}) Send(WM_MOUSEMOVE, point);
    Shot("lock-drawing");
    PatternWindow->PatternAction(true);
    Shot("lock-red");
    // Not released: the press is cancelled instead of checked.
    SendMessageA(PatternWindow->Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);

    const LayoutSquare& icon = Layout.Icon(kIconPatternEnable).Hit;
    SendMessageA(PatternWindow->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(icon.Left + 5, icon.Top + 5));
    Shot("lock-icon-hover");
    SendMessageA(PatternWindow->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));

    LockStateTestAccess::SetUnlockMode(kDynamicPasswordMode);
    PointLetters = MakeRandomLetters(Layout.GridSide * Layout.GridSide, CryptoUniform);
    EnteredKeys.Reset(Layout.GridSide * Layout.GridSide);
    for (int key : {'K', 'T', 'M'}) SendMessageA(PatternWindow->Hwnd(), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    Shot("lock-dynamic");
    LockStateTestAccess::SetUnlockMode(kNormalUnlockMode);

    PatternWindow->PatternAlert(57);
    Shot("lock-alarm");
    PatternWindow->PatternAlert(57);
    Shot("lock-alarm-red");

    PatternWindow->PatternNormal();
    TestSession().LockComputer(false, false);
    EXPECT_FALSE(CurrentLockState().IsLocked());
}

}  // namespace
