// The lock cycle in one process with the real windows: LockComputer both ways, the cover's
// wipes and strips, the swallowed messages, the recall of the lock window and the watchdog.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <utility>

#include "app/LockSession.h"
#include "cover/EffectStrips.h"
#include "cover/PrimaryCover.h"
#include "lockscreen/LockWindow.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "support/RawRegistry.h"
#include "system/LockRecord.h"
#include "system/LockedSettings.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/WinHandles.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

namespace {

// The test picture: every column has its own opaque colour, so a pixel tells where it came from.
uint32_t PictureColumn(int x) {
    return 0xFF000000u | (static_cast<uint32_t>(x & 0xFF) << 16) |
           (static_cast<uint32_t>((x >> 8) & 0xFF) << 8) | 0x40u;
}

GdiPlusPtr<Gdiplus::Image> MakePicture(uint32_t tint) {
    auto bitmap = NewGdiPlus<Gdiplus::Bitmap>(ScreenWidth, ScreenHeight, PixelFormat32bppARGB);
    if (!bitmap) return nullptr;
    Gdiplus::Rect all(0, 0, ScreenWidth, ScreenHeight);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    for (int y = 0; y < ScreenHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < ScreenWidth; ++x) row[x] = PictureColumn(x) ^ tint;
    }
    bitmap->UnlockBits(&data);
    return GdiPlusPtr<Gdiplus::Image>(bitmap.release());
}

// Runs the message loop until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > limitMs) return false;
        Sleep(5);
    }
}

// The lock session's two windows, made once for the whole program.
PrimaryCover* BackgroundWindow = nullptr;
LockWindow* PatternWindow = nullptr;

bool IsTopmost(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

std::optional<uint32_t> Policy(const char* key, const char* name) { return rawreg::ReadDword(key, name); }

class CoverEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        gdiplus_ = std::make_unique<GdiPlusSession>();
        ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
        TestSession().CreateLockWindow(GetModuleHandleA(nullptr));
        TestSession().CreateCover(GetModuleHandleA(nullptr));
        PatternWindow = TestSession().LockWindowObject();
        BackgroundWindow = TestSession().Cover();
        Images.SetImage(kSlotBackground, MakePicture(0));
    }
    void TearDown() override {
        if (CurrentLockState().IsLocked()) TestSession().LockComputer(false, false);
        Strips.Release();
        TestSession().CloseCover();
        TestSession().CloseLockWindow();
        Images.FreeAll();
        gdiplus_.reset();
    }
private:
    std::unique_ptr<GdiPlusSession> gdiplus_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CoverEnvironment);

class LockCycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(BackgroundWindow, nullptr);
        ASSERT_NE(BackgroundWindow->Hwnd(), nullptr);
        ASSERT_NE(PatternWindow, nullptr);
        ASSERT_NE(PatternWindow->Hwnd(), nullptr);
        saved_ = Config;
        Config.Effect = 0;
        Config.TransparentBackground = 0;
        Config.LockKeyboard = 0;
        Config.Disconnection = 0;
        LockStateTestAccess::SetUnlockMode(0);
        // A known start: every value 0, so the unlock gives back 0.
        rawreg::Delete(kAppSystemKey, kPoliciesBeforeLockValueName);
        for (const auto& [key, name] : {std::pair{kPoliciesSystemUserKey, "DisableTaskmgr"},
                                        std::pair{kPoliciesSystemMachineKey, "HideFastUserSwitching"},
                                        std::pair{kPoliciesExplorerUserKey, "NoLogoff"},
                                        std::pair{kPoliciesExplorerUserKey, "NoClose"}})
            rawreg::WriteDword(key, name, 0);
    }
    void TearDown() override {
        if (CurrentLockState().IsLocked()) TestSession().LockComputer(false, false);
        Config = saved_;
        LockStateTestAccess::SetUnlockMode(0);
    }
    HWND Cover() const { return BackgroundWindow->Hwnd(); }
    HWND LockWindowHwnd() const { return PatternWindow->Hwnd(); }
    ConfigData saved_;
};

TEST_F(LockCycle, LockSetsPoliciesAndRaisesTheWindowsUnlockUndoesIt) {
    TestSession().LockComputer(true, false);
    EXPECT_TRUE(CurrentLockState().IsLocked());
    EXPECT_FALSE(CurrentLockState().IsBusy());
    EXPECT_EQ(Policy(kPoliciesSystemUserKey, "DisableTaskmgr"), 1u);
    EXPECT_EQ(Policy(kPoliciesSystemMachineKey, "HideFastUserSwitching"), 1u);
    EXPECT_EQ(Policy(kPoliciesExplorerUserKey, "NoLogoff"), 1u);
    EXPECT_TRUE(IsWindowVisible(Cover()));
    EXPECT_TRUE(IsTopmost(Cover()));
    EXPECT_TRUE(IsWindowVisible(LockWindowHwnd()));
    EXPECT_TRUE(IsTopmost(LockWindowHwnd()));
    EXPECT_TRUE(BackgroundWindow->IsWatchdogRunning());
    // The resting cover shows the picture, opaque.
    EXPECT_EQ(BackgroundWindow->FramePixel(300, 200), PictureColumn(300));

    TestSession().LockComputer(false, false);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    EXPECT_FALSE(CurrentLockState().IsBusy());
    EXPECT_FALSE(BackgroundWindow->IsWatchdogRunning());
    EXPECT_FALSE(IsWindowVisible(Cover()));
    EXPECT_FALSE(IsWindowVisible(LockWindowHwnd()));
    EXPECT_EQ(Policy(kPoliciesSystemUserKey, "DisableTaskmgr"), 0u);
    EXPECT_EQ(Policy(kPoliciesSystemMachineKey, "HideFastUserSwitching"), 0u);
    EXPECT_EQ(Policy(kPoliciesExplorerUserKey, "NoLogoff"), 0u);
    EXPECT_EQ(Policy(kPoliciesExplorerUserKey, "NoClose"), 0u);
}

bool RefuseMachineKey(const std::string& path, const std::string& name, const std::string& data, int32_t type) {
    if (path == kPoliciesSystemMachineKey) return false;
    return WriteRegistryValue(path, name, data, type);
}

TEST_F(LockCycle, TheMarkerSpansTheLockAndAFailedRestrictionIsSaidAfterTheUnlock) {
    SetPolicyWriter(RefuseMachineKey);
    TestSession().LockComputer(true, false);
    EXPECT_TRUE(IsLockedMarkerSet());
    TestSession().LockComputer(false, false);
    SetPolicyWriter(nullptr);
    EXPECT_FALSE(IsLockedMarkerSet());
    PolicyFailures refused;
    refused.Add(Policy::HideFastUserSwitching);
    EXPECT_EQ(TestSession().RestrictionFailureText(), PolicyFailureText(refused));
}

// Stands in for the accessibility settings and the edge-gesture property, which Wine lacks.
class FakeSettings final : public LockedSettings {
public:
    AccessHotKeyStates HotKeys{true, false, true, std::nullopt, true};
    std::set<HWND> EdgesBlocked;
    std::optional<bool> IsHotKeyActive(AccessFeature f) override { return HotKeys[static_cast<int>(f)]; }
    bool SetHotKeyActive(AccessFeature f, bool active) override {
        if (!HotKeys[static_cast<int>(f)]) return false;
        HotKeys[static_cast<int>(f)] = active;
        return true;
    }
    bool SetEdgeGesturesBlocked(HWND window, bool blocked) override {
        blocked ? (void)EdgesBlocked.insert(window) : (void)EdgesBlocked.erase(window);
        return true;
    }
};

// A kill while locked leaves the record, and the next start (or the tool's "/Fix") restores from
// it: simulated by a restore with the same settings and no unlock in between.
TEST_F(LockCycle, HotKeysOffEdgesBlockedAndRunOnceSetWhileLockedAllGivenBackExactly) {
    FakeSettings fake;
    const AccessHotKeyStates before = fake.HotKeys;
    TestSession().UseSettings(&fake);
    TestSession().LockComputer(true, false);
    EXPECT_EQ(fake.HotKeys, (AccessHotKeyStates{false, false, false, std::nullopt, false}));
    EXPECT_EQ(fake.EdgesBlocked, std::set<HWND>{LockWindowHwnd()});
    const auto runOnce = rawreg::Read(kRunOnceKey, kRunOnceValueName).value_or(rawreg::Value{});
    EXPECT_NE(runOnce.Bytes.find("\" /StartupLock"), std::string::npos);
    TestSession().LockComputer(false, false);
    EXPECT_EQ(fake.HotKeys, before);
    EXPECT_TRUE(fake.EdgesBlocked.empty());
    EXPECT_FALSE(rawreg::Read(kRunOnceKey, kRunOnceValueName).has_value());

    TurnOffAccessHotKeys(fake);
    fake.HotKeys[0] = true;   // turned on again by hand meanwhile: left alone
    EXPECT_TRUE(RestoreAccessHotKeys(fake));
    EXPECT_EQ(fake.HotKeys, before);
    EXPECT_FALSE(RestoreAccessHotKeys(fake));   // the record is gone
    TestSession().UseSettings(nullptr);
}

TEST_F(LockCycle, ASecondLockWhileLockedChangesNothing) {
    TestSession().LockComputer(true, false);
    ASSERT_TRUE(CurrentLockState().IsLocked());
    // Marks a repeated lock would overwrite: the policy write and the activity tick.
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemUserKey, "DisableTaskmgr", 7));
    LockStateTestAccess::SetLastActiveTick(12345);
    TestSession().LockComputer(true, false);
    EXPECT_EQ(Policy(kPoliciesSystemUserKey, "DisableTaskmgr"), 7u);
    EXPECT_EQ(CurrentLockState().LastActiveTick(), 12345u);
    EXPECT_TRUE(CurrentLockState().IsLocked());
}

// A window whose one message asks for an unlock, the way the lock window does when the right
// pattern is released: posted before a lock, it is handled in the lock's own message pump.
LRESULT CALLBACK UnlockRequestProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP) {
        TestSession().LockComputer(false, false);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(LockCycle, AnUnlockAskedForWhileTheLockIsPutUpRunsAfterIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = UnlockRequestProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LockCycleUnlockRequest";
    RegisterClassA(&wc);
    HWND requester = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     wc.hInstance, nullptr);
    ASSERT_NE(requester, nullptr);
    PostMessageA(requester, WM_APP, 0, 0);

    TestSession().LockComputer(true, false);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    EXPECT_FALSE(CurrentLockState().IsBusy());
    EXPECT_FALSE(IsWindowVisible(Cover()));
    EXPECT_FALSE(IsWindowVisible(LockWindowHwnd()));
    EXPECT_FALSE(BackgroundWindow->IsWatchdogRunning());
    EXPECT_EQ(Policy(kPoliciesSystemUserKey, "DisableTaskmgr"), 0u);

    // Remembered once only: the next lock stays up.
    TestSession().LockComputer(true, false);
    EXPECT_TRUE(CurrentLockState().IsLocked());
    DestroyWindow(requester);
}

TEST_F(LockCycle, DynamicPasswordModeDealsNewLettersOtherModesKeepThem) {
    Config.Grid = 1;   // 4 x 4
    LockStateTestAccess::SetUnlockMode(0);
    PointLetters.assign(3, 'Q');
    TestSession().LockComputer(true, false);
    EXPECT_EQ(PointLetters, std::vector<uint8_t>(3, 'Q'));
    TestSession().LockComputer(false, false);

    LockStateTestAccess::SetUnlockMode(2);
    TestSession().LockComputer(true, false);
    ASSERT_EQ(PointLetters.size(), 17u);
    const std::set<uint8_t> distinct(PointLetters.begin() + 1, PointLetters.end());
    EXPECT_EQ(distinct.size(), 16u);
    for (uint8_t letter : distinct) EXPECT_TRUE(letter >= 'A' && letter <= 'Z') << int(letter);
    EXPECT_EQ(EnteredKeys.Slots().size(), 17u);
    EXPECT_EQ(EnteredKeys.Count(), 0);
}

TEST_F(LockCycle, StartupLockAndEffectOffCutNoStrips) {
    Strips.Release();
    const int builds = Strips.Builds();
    Config.Effect = 1;
    TestSession().LockComputer(true, true);
    EXPECT_EQ(Strips.Builds(), builds);
    TestSession().LockComputer(false, false);
    Config.Effect = 0;
    TestSession().LockComputer(true, false);
    EXPECT_EQ(Strips.Builds(), builds);
}

TEST_F(LockCycle, EffectLockCutsStripsAndUnlockWipesToAlphaOne) {
    Strips.Release();
    const int builds = Strips.Builds();
    Config.Effect = 1;
    TestSession().LockComputer(true, false);
    EXPECT_EQ(Strips.Builds(), builds + 1);
    EXPECT_EQ(Strips.Steps(), -1);   // given back after the wipe
    EXPECT_TRUE(IsWindowVisible(Cover()));
    Strips.PrepareUnlock(BackgroundWindow->Graphics(), ScreenHeight);
    BackgroundWindow->UnlockEffectShow();
    // The erase strips replaced every picture pixel (source copy, not blended over it).
    for (int x : {0, 4, 5, 136, 137, 700, ScreenWidth - 1}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(BackgroundWindow->FramePixel(x, 0), 0x01000000u);
        EXPECT_EQ(BackgroundWindow->FramePixel(x, ScreenHeight / 2), 0x01000000u);
    }
    TestSession().LockComputer(false, false);
    EXPECT_FALSE(IsWindowVisible(Cover()));
    // Unlocked, nothing of the screen's size is kept: frames and strips come again at the lock.
    EXPECT_EQ(BackgroundWindow->FramePixel(ScreenWidth - 1, ScreenHeight - 1), 0u);
    EXPECT_EQ(TestSession().LockWindowObject()->Frame()->Width(), 1);
    EXPECT_EQ(Images.Cached(kSlotEraseStrip), nullptr);
}

TEST_F(LockCycle, LockWipeRebuildsThePictureExactly) {
    Config.Effect = 1;
    TestSession().PrepareEffectStrips();
    ASSERT_GE(Strips.Steps(), 0);
    BackgroundWindow->LockEffectShow();
    // Columns at band edges and at strip edges inside bands, top, middle and bottom rows.
    const int band = Strips.Bands()[2];
    for (int x : {0, 4, 5, band - 1, band, band + 4, band + 5, 700, 701, ScreenWidth - 1}) {
        for (int y : {0, ScreenHeight / 2, ScreenHeight - 1}) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            EXPECT_EQ(BackgroundWindow->FramePixel(x, y), PictureColumn(x));
        }
    }
}

TEST_F(LockCycle, StripsAreKeptForTheSamePictureAndCutAgainForANewOne) {
    TestSession().PrepareEffectStrips();
    const int builds = Strips.Builds();
    ASSERT_NE(Strips.Image(), nullptr);
    EXPECT_EQ(Strips.Image(), Images.Image(kSlotBackground));
    TestSession().PrepareEffectStrips();
    EXPECT_EQ(Strips.Builds(), builds);

    // The old picture goes first, as when the user picks another one: the new picture may well
    // get the freed address, which must not pass for the old picture.
    Images.Free(kSlotBackground);
    Images.SetImage(kSlotBackground, MakePicture(0x00FFFFFF));
    TestSession().PrepareEffectStrips();
    EXPECT_EQ(Strips.Builds(), builds + 1);
    EXPECT_EQ(Strips.Image(), Images.Image(kSlotBackground));
    const int steps = Strips.Steps();
    EXPECT_EQ(steps, EffectStepCount(ScreenWidth));
    for (int j = 0; j <= steps; ++j)
        for (int i = 1; i <= kEffectBands; ++i) ASSERT_NE(Strips.Strip(j, i), nullptr) << j << "," << i;
    EXPECT_EQ(Strips.Strip(steps + 1, 1), nullptr);
    EXPECT_EQ(Strips.Strip(0, 0), nullptr);
    EXPECT_EQ(Strips.Strip(0, kEffectBands + 1), nullptr);
    Images.SetImage(kSlotBackground, MakePicture(0));
}

class StandInTaskbar : public LockCycle {
protected:
    void SetUp() override {
        LockCycle::SetUp();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        tray_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(tray_);
        ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray_.get());
    }
    UniqueHwnd tray_;
};

TEST_F(StandInTaskbar, PictureLockHidesTheTaskbarUntilUnlock) {
    TestSession().LockComputer(true, false);
    EXPECT_FALSE(IsWindowVisible(tray_.get()));
    TestSession().LockComputer(false, false);
    EXPECT_TRUE(IsWindowVisible(tray_.get()));
}

TEST_F(StandInTaskbar, TransparentBackgroundLeavesTheTaskbarAndCoversWithAlphaOne) {
    Config.TransparentBackground = -1;   // any value but 0 is on, as in a file written by hand
    Config.Effect = 1;
    const int builds = Strips.Builds();
    TestSession().LockComputer(true, false);
    EXPECT_TRUE(IsWindowVisible(tray_.get()));
    EXPECT_EQ(BackgroundWindow->FramePixel(0, 0), 0x01000000u);
    EXPECT_EQ(BackgroundWindow->FramePixel(ScreenWidth / 2, ScreenHeight / 2), 0x01000000u);
    TestSession().LockComputer(false, false);
    EXPECT_TRUE(IsWindowVisible(tray_.get()));
    EXPECT_LE(Strips.Builds(), builds + 1);
}

TEST_F(LockCycle, CoverRefusesCloseAndRenameAndHasNoTitle) {
    TestSession().LockComputer(true, false);
    EXPECT_EQ(SendMessageA(Cover(), WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Cover(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pwned")), 0);
    EXPECT_EQ(SendMessageA(Cover(), WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(SendMessageA(Cover(), WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
    PumpUntil([] { return false; }, 50);
    EXPECT_TRUE(IsWindow(Cover()));
    EXPECT_TRUE(IsWindowVisible(Cover()));
    char title[32] = "x";
    EXPECT_EQ(GetWindowTextA(Cover(), title, sizeof title), 0);
    EXPECT_STREQ(title, "");
}

TEST_F(LockCycle, ClickOrEnterOnTheCoverRecallsTheLockWindow) {
    TestSession().LockComputer(true, false);
    for (UINT key : {0u, 13u}) {
        SCOPED_TRACE(key);
        LockStateTestAccess::SetLockWindowHidden(true);
        LockStateTestAccess::SetMonitorOff(true);
        LockStateTestAccess::SetLastActiveTick(0);
        if (key == 0)
            SendMessageA(Cover(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        else
            SendMessageA(Cover(), WM_KEYDOWN, key, 0);
        EXPECT_FALSE(CurrentLockState().IsLockWindowHidden());
        EXPECT_FALSE(CurrentLockState().IsMonitorOff());
        EXPECT_NE(CurrentLockState().LastActiveTick(), 0u);
        EXPECT_EQ(GetForegroundWindow(), LockWindowHwnd());
    }
    LockStateTestAccess::SetLockWindowHidden(true);
    SendMessageA(Cover(), WM_KEYDOWN, 'X', 0);
    EXPECT_TRUE(CurrentLockState().IsLockWindowHidden());
    LockStateTestAccess::SetLockWindowHidden(false);
    LockStateTestAccess::SetMonitorOff(true);
    SendMessageA(Cover(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
}

class Watchdog : public LockCycle {
protected:
    void SetUp() override {
        LockCycle::SetUp();
        intruder_.reset(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "intruder", WS_POPUP | WS_VISIBLE, 0, 0,
                                        200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(intruder_);
    }
    void TakeForeground() {
        SetForegroundWindow(intruder_.get());
        SetWindowPos(intruder_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ASSERT_EQ(GetForegroundWindow(), intruder_.get());
    }
    UniqueHwnd intruder_;
};

TEST_F(Watchdog, TakesTheForegroundBackForTheLockWindow) {
    TestSession().LockComputer(true, false);
    TakeForeground();
    EXPECT_TRUE(PumpUntil([this] { return GetForegroundWindow() == LockWindowHwnd(); }, 500));
    EXPECT_EQ(GetActiveWindow(), LockWindowHwnd());
}

TEST_F(Watchdog, TakesTheForegroundBackForTheCoverWhileTheLockWindowIsHidden) {
    TestSession().LockComputer(true, false);
    LockStateTestAccess::SetLockWindowHidden(true);
    TakeForeground();
    EXPECT_TRUE(PumpUntil([this] { return GetForegroundWindow() == Cover(); }, 500));
}

// A picture of another size than the screen is drawn into the cover's frame, which can be marked.
TEST_F(Watchdog, TakesTheForegroundBackWithoutRepainting) {
    Images.SetImage(kSlotBackground, GdiPlusPtr<Gdiplus::Image>(NewGdiPlus<Gdiplus::Bitmap>(16, 16).release()));
    TestSession().LockComputer(true, false);
    Gdiplus::SolidBrush marker(Gdiplus::Color(0xFF123456));
    BackgroundWindow->Graphics()->FillRectangle(&marker, 0, 0, 1, 1);
    TakeForeground();
    ASSERT_TRUE(PumpUntil([this] { return GetForegroundWindow() == LockWindowHwnd(); }, 500));
    EXPECT_EQ(BackgroundWindow->FramePixel(0, 0), 0xFF123456u);
    Images.SetImage(kSlotBackground, MakePicture(0));
}

TEST_F(Watchdog, ShowsAMinimizedCoverAgain) {
    TestSession().LockComputer(true, false);
    ShowWindow(Cover(), SW_MINIMIZE);
    EXPECT_TRUE(PumpUntil([this] { return IsWindowVisible(Cover()) && !IsIconic(Cover()); }, 500));
}

TEST_F(Watchdog, PutsAMovedCoverBack) {
    TestSession().LockComputer(true, false);
    SetWindowPos(Cover(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A move raises no event the watchdog waits for: its slow poll (500 ms) puts the cover back.
    EXPECT_TRUE(PumpUntil([this] {
        RECT rc;
        return GetWindowRect(Cover(), &rc) && rc.left == 0 && rc.top == 0;
    }, 1000));
}

TEST_F(Watchdog, StaysQuietAfterUnlock) {
    TestSession().LockComputer(true, false);
    TestSession().LockComputer(false, false);
    TakeForeground();
    PumpUntil([] { return false; }, 200);
    // Wine may hand the foreground to the desktop on its own after windows were hidden; what
    // matters is that none of ours came back.
    EXPECT_NE(GetForegroundWindow(), Cover());
    EXPECT_NE(GetForegroundWindow(), LockWindowHwnd());
    EXPECT_FALSE(IsWindowVisible(Cover()));
    EXPECT_FALSE(IsWindowVisible(LockWindowHwnd()));
}

}  // namespace
