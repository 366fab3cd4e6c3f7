// The subclassed message window: hot-key registration and dispatch, the swallowed messages, and
// the way back to the original window procedure.
#include <gtest/gtest.h>

#include <windows.h>

#include "core/AppState.h"
#include "app/HotKeys.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "system/WinHandles.h"
#include "support/LockStateTestAccess.h"

namespace {

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
int ClassProcCloses = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) { ++ClassProcCloses; return 0; }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class MessageWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvoMessageWindowTest";
        RegisterClassA(&wc);
    }
    void SetUp() override {
        window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, "OrvoMessageWindowTest", "cover", WS_POPUP, 0, 0, 8, 8,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(window_);
        // Global atoms outlive a process that is killed while holding them (the fault tests do
        // that), so references left by others are dropped first: then "no atom after unhook"
        // shows that ours was given back.
        for (const char* name : {kLockHotKeyAtom, kConfigureHotKeyAtom}) {
            for (int i = 0; i < 1000; ++i) {
                const ATOM leftover = GlobalFindAtomA(name);
                if (!leftover) break;
                GlobalDeleteAtom(leftover);
            }
        }
        HookWindow(window_.get());
        ClassProcCloses = 0;
        // The lock this test causes has no windows; keep it away from the session's shell.
        Config.TransparentBackground = 1;
    }
    void TearDown() override {
        UnhookWindow();
        if (CurrentLockState().IsLocked()) LockComputer(false, false);
        Config.TransparentBackground = 0;
    }
    // Whether Win + key can still be registered by another window: false while ours holds it.
    static bool IsFree(UINT key) {
        UniqueHwnd other(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        if (!RegisterHotKey(other.get(), 1, MOD_WIN, key)) return false;
        UnregisterHotKey(other.get(), 1);
        return true;
    }
    UniqueHwnd window_;
};

TEST_F(MessageWindowTest, IdsAreTheSignExtendedAtomsAndTheKeysAreTaken) {
    EXPECT_EQ(MessageWindow, window_.get());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(HotKeyIds[i], -1);
        EXPECT_GE(HotKeyIds[i], -16384);
    }
    EXPECT_EQ(static_cast<ATOM>(HotKeyIds[0] & 0xFFFF), GlobalFindAtomA("NewMacroForActiveLock"));
    EXPECT_EQ(static_cast<ATOM>(HotKeyIds[1] & 0xFFFF), GlobalFindAtomA("NewMacroForConfigure"));
    EXPECT_FALSE(IsFree('A'));
    EXPECT_FALSE(IsFree('C'));
}

TEST_F(MessageWindowTest, CloseTitleAndMoveRequestsAreSwallowed) {
    EXPECT_EQ(SendMessageA(window_.get(), WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(ClassProcCloses, 0);
    EXPECT_TRUE(IsWindow(window_.get()));
    EXPECT_EQ(SendMessageA(window_.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed")), 0);
    char title[32] = "unchanged";
    EXPECT_EQ(GetWindowTextA(window_.get(), title, sizeof title), 0);
    EXPECT_STREQ(title, "");
    EXPECT_EQ(SendMessageA(window_.get(), WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
    // Messages the subclass does not know still reach the window's own procedure.
    EXPECT_EQ(SendMessageA(window_.get(), WM_GETTEXTLENGTH, 0, 0), 5);
}

TEST_F(MessageWindowTest, LockHotKeyLocksOnlyWhenUnlockedAndIdle) {
    const WPARAM lockId = static_cast<WPARAM>(static_cast<INT_PTR>(HotKeyIds[0]));
    LockStateTestAccess::SetPhase(LockPhase::Unlocking);
    SendMessageA(window_.get(), WM_HOTKEY, lockId, 0);
    LockStateTestAccess::SetPhase(LockPhase::Unlocked);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    // The configure key and unknown ids never lock.
    SendMessageA(window_.get(), WM_HOTKEY, static_cast<WPARAM>(static_cast<INT_PTR>(HotKeyIds[1])), 0);
    SendMessageA(window_.get(), WM_HOTKEY, 0, 0);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    EXPECT_EQ(SendMessageA(window_.get(), WM_HOTKEY, lockId, 0), 0);
    EXPECT_TRUE(CurrentLockState().IsLocked());
}

TEST_F(MessageWindowTest, UnhookGivesBackTheProcedureAndTheKeys) {
    UnhookWindow();
    EXPECT_EQ(MessageWindow, nullptr);
    EXPECT_TRUE(IsFree('A'));
    EXPECT_TRUE(IsFree('C'));
    EXPECT_EQ(GlobalFindAtomA(kLockHotKeyAtom), 0);
    EXPECT_EQ(GlobalFindAtomA(kConfigureHotKeyAtom), 0);
    SendMessageA(window_.get(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ClassProcCloses, 1);
    SendMessageA(window_.get(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"));
    char title[32] = "";
    GetWindowTextA(window_.get(), title, sizeof title);
    EXPECT_STREQ(title, "renamed");
}

}  // namespace
