// The message window: hot-key registration and dispatch, and the keys and atoms given back
// when the window goes.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/SessionSupport.h"
#include "core/PolicyRegistry.h"
#include "app/HotKeys.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "system/WinHandles.h"
#include "support/LockStateTestAccess.h"
#include "support/RawRegistry.h"

namespace {

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Global atoms outlive a process that is killed while holding them (the fault tests do
        // that), so references left by others are dropped first: then "no atom after closing"
        // shows that ours was given back.
        for (const char* name : {kLockHotKeyAtom, kConfigureHotKeyAtom}) {
            for (int i = 0; i < 1000; ++i) {
                const ATOM leftover = GlobalFindAtomA(name);
                if (!leftover) break;
                GlobalDeleteAtom(leftover);
            }
        }
        ASSERT_TRUE(TestSession().CreateMessageWindow());
        hwnd_ = TestSession().MessageWindowObject()->Hwnd();
        ASSERT_NE(hwnd_, nullptr);
        // The lock this test causes has no windows; keep it away from the session's shell.
        Config.TransparentBackground = 1;
    }
    void TearDown() override {
        TestSession().CloseMessageWindow();
        if (CurrentLockState().IsLocked()) TestSession().LockComputer(false, false);
        Config.TransparentBackground = 0;
    }
    // Whether Win + key can still be registered by another window: false while ours holds it.
    static bool IsFree(UINT key) {
        UniqueHwnd other(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        if (!RegisterHotKey(other.get(), 1, MOD_WIN, key)) return false;
        UnregisterHotKey(other.get(), 1);
        return true;
    }
    static std::array<int32_t, 2> Ids() { return TestSession().MessageWindowObject()->HotKeyIds(); }
    HWND hwnd_ = nullptr;
};

TEST_F(MessageWindowTest, IdsAreTheSignExtendedAtomsAndTheKeysAreTaken) {
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_LE(Ids()[i], -1);
        EXPECT_GE(Ids()[i], -16384);
    }
    EXPECT_EQ(static_cast<ATOM>(Ids()[0] & 0xFFFF), GlobalFindAtomA("NewMacroForActiveLock"));
    EXPECT_EQ(static_cast<ATOM>(Ids()[1] & 0xFFFF), GlobalFindAtomA("NewMacroForConfigure"));
    EXPECT_FALSE(IsFree('A'));
    EXPECT_FALSE(IsFree('C'));
}

TEST_F(MessageWindowTest, LockHotKeyLocksOnlyWhenUnlockedAndIdle) {
    const WPARAM lockId = static_cast<WPARAM>(static_cast<INT_PTR>(Ids()[0]));
    LockStateTestAccess::SetPhase(LockPhase::Unlocking);
    SendMessageA(hwnd_, WM_HOTKEY, lockId, 0);
    LockStateTestAccess::SetPhase(LockPhase::Unlocked);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    // The configure key and unknown ids never lock.
    SendMessageA(hwnd_, WM_HOTKEY, static_cast<WPARAM>(static_cast<INT_PTR>(Ids()[1])), 0);
    SendMessageA(hwnd_, WM_HOTKEY, 0, 0);
    EXPECT_FALSE(CurrentLockState().IsLocked());
    EXPECT_EQ(SendMessageA(hwnd_, WM_HOTKEY, lockId, 0), 0);
    EXPECT_TRUE(CurrentLockState().IsLocked());
}

// The minute's tick reads the policies again, so an administrator's change reaches Config.
TEST_F(MessageWindowTest, PolicyRefreshTickReadsThePoliciesAgain) {
    Config.AlertTimes = 3;
    ApplyPolicySettings(Config);
    rawreg::WriteDword(kUserPolicyKey, "AlertTimes", 1);
    SendMessageA(hwnd_, WM_TIMER, kPolicyRefreshTimer, 0);
    rawreg::Delete(kUserPolicyKey, "AlertTimes");
    EXPECT_EQ(Config.AlertTimes, 1);
    RefreshPolicySettings(Config);
    EXPECT_EQ(Config.AlertTimes, 3);
}

// However the window ends, the keys and the atoms go with it.
TEST_F(MessageWindowTest, TheWindowsEndGivesBackTheKeysAndAtoms) {
    DestroyWindow(hwnd_);
    EXPECT_EQ(TestSession().MessageWindowObject(), nullptr);
    EXPECT_TRUE(IsFree('A'));
    EXPECT_TRUE(IsFree('C'));
    EXPECT_EQ(GlobalFindAtomA(kLockHotKeyAtom), 0);
    EXPECT_EQ(GlobalFindAtomA(kConfigureHotKeyAtom), 0);
}

}  // namespace
