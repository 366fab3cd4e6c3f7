// Policy values, the start-up Run entry and the shell hiding, checked against the registry and
// against stand-in shell windows that the test creates in its own process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/RawRegistry.h"
#include "system/LockRecord.h"
#include "system/PowerActions.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/WinHandles.h"

namespace {

const char* const kPolicyNames[] = {"DisableTaskmgr", "HideFastUserSwitching", "NoLogoff", "NoClose"};
const char* const kPolicyKeys[] = {kPoliciesSystemUserKey, kPoliciesSystemMachineKey,
                                   kPoliciesExplorerUserKey, kPoliciesExplorerUserKey};

class Policies : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i) rawreg::Delete(kPolicyKeys[i], kPolicyNames[i]);
        rawreg::Delete(kAppSystemKey, kPoliciesBeforeLockValueName);
    }
    void TearDown() override {
        SetPolicyWriter(nullptr);
        SetUp();
    }
};

bool RefuseMachineKey(const std::string& path, const std::string& name, const std::string& data, int32_t type) {
    if (path == kPoliciesSystemMachineKey) return false;
    return WriteRegistryValue(path, name, data, type);
}

TEST_F(Policies, ApplySetsTheThreeLockPoliciesToOne) {
    ApplyPolicies();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(kPolicyNames[i]);
        EXPECT_EQ(rawreg::ReadDword(kPolicyKeys[i], kPolicyNames[i]), 1u);
    }
    // NoClose is only ever reset, never set.
    EXPECT_FALSE(rawreg::Read(kPoliciesExplorerUserKey, "NoClose").has_value());
}

TEST_F(Policies, RestoreGivesBackWhatWasThereAndLeavesWhatOthersSet) {
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemUserKey, "DisableTaskmgr", 0));
    ApplyPolicies();
    // Meanwhile an administrator set HideFastUserSwitching and another program NoClose.
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemMachineKey, "HideFastUserSwitching", 5));
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesExplorerUserKey, "NoClose", 1));
    RestorePolicies();
    EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemUserKey, "DisableTaskmgr"), 0u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoLogoff"), 0u) << "absent before";
    EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemMachineKey, "HideFastUserSwitching"), 5u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoClose"), 1u);
}

TEST_F(Policies, AnAdministratorsValuesSurviveAnUnlockAndAKilledLocksNextStart) {
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemUserKey, "DisableTaskmgr", 1));
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesExplorerUserKey, "NoLogoff", 1));
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "killed; the lock started again applies once more" : "unlocked");
        ApplyPolicies();
        if (killed) {
            ApplyPolicies();
            EXPECT_TRUE(RestorePoliciesIfRemembered());
        } else {
            RestorePolicies();
        }
        EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemUserKey, "DisableTaskmgr"), 1u);
        EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoLogoff"), 1u);
        EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemMachineKey, "HideFastUserSwitching"), 0u) << "absent: 0";
        EXPECT_FALSE(rawreg::Read(kAppSystemKey, kPoliciesBeforeLockValueName).has_value()) << "forgotten";
    }
}

TEST_F(Policies, AStartWithNothingRememberedWritesNothing) {
    EXPECT_FALSE(RestorePoliciesIfRemembered());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(rawreg::Read(kPolicyKeys[i], kPolicyNames[i]).has_value()) << kPolicyNames[i];
}

TEST_F(Policies, ApplyReportsTheWriteThatFailed) {
    SetPolicyWriter(RefuseMachineKey);
    EXPECT_EQ(ApplyPolicies().Bits, 1u << static_cast<int>(Policy::HideFastUserSwitching));
}

TEST(LockRecord, MarkerAndAlertTimesRoundTrip) {
    ASSERT_TRUE(SetLockedMarker());
    EXPECT_TRUE(IsLockedMarkerSet());
    ASSERT_TRUE(ClearLockedMarker());
    EXPECT_FALSE(IsLockedMarkerSet());
    ASSERT_TRUE(WriteAlertTimes(3));
    EXPECT_EQ(ReadAlertTimes(), 3);
    ResetAlertTimes();
    EXPECT_EQ(ReadAlertTimes(), 0);
}

int LockCalls = 0;
BOOL WINAPI CountLock() { return ++LockCalls > 0; }

TEST(CrashLock, CallsThePlatformLock) {
    const LockWorkStationFn previous = SetLockWorkStationFn(CountLock);
    EXPECT_TRUE(LockWorkstationAfterCrash());
    SetLockWorkStationFn(previous);
    EXPECT_EQ(LockCalls, 1);
}

class StartupLock : public ::testing::Test {
protected:
    void SetUp() override { rawreg::Delete(kRunKey, kRunValueName); }
    void TearDown() override { SetUp(); }
    static std::optional<rawreg::Value> Run() { return rawreg::Read(kRunKey, kRunValueName); }
    const std::string folder_ = "C:\\Program Files\\Orvo PC Lock\\";
    const std::string command_ = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe /StartupLock";
};

TEST_F(StartupLock, EnableWritesTheCommandLineAsText) {
    EXPECT_TRUE(SetStartupLock(true, folder_, "OrvoPCLock"));
    const auto value = Run();
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->Bytes.substr(0, value->Bytes.find('\0')), command_);
}

TEST_F(StartupLock, EnableTwiceWritesOnce) {
    ASSERT_TRUE(SetStartupLock(true, folder_, "OrvoPCLock"));
    // The same command line with blanks and a zero after it reads back as equal; a second write
    // would remove the tail, so the tail shows whether anything was written.
    const std::string marked = command_ + "  " + std::string(1, '\0');
    ASSERT_TRUE(rawreg::Write(kRunKey, kRunValueName, REG_SZ, marked));
    EXPECT_TRUE(SetStartupLock(true, folder_, "OrvoPCLock"));
    const auto value = Run();
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Bytes, marked);
}

TEST_F(StartupLock, DisableLeavesAnotherCopysEntryAlone) {
    const std::string foreign = "D:\\Old\\OrvoPCLock.exe /StartupLock";
    ASSERT_TRUE(rawreg::Write(kRunKey, kRunValueName, REG_SZ, foreign));
    EXPECT_FALSE(SetStartupLock(false, folder_, "OrvoPCLock"));
    const auto value = Run();
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->Bytes.substr(0, value->Bytes.find('\0')), foreign);
}

TEST_F(StartupLock, EnableReplacesAnotherCopysEntryAndDisableDeletesOurs) {
    ASSERT_TRUE(rawreg::Write(kRunKey, kRunValueName, REG_SZ, "D:\\Old\\OrvoPCLock.exe /StartupLock"));
    EXPECT_TRUE(SetStartupLock(true, folder_, "OrvoPCLock"));
    ASSERT_TRUE(Run().has_value());
    EXPECT_EQ(Run()->Bytes.substr(0, Run()->Bytes.find('\0')), command_);
    EXPECT_FALSE(SetStartupLock(false, folder_, "OrvoPCLock"));
    EXPECT_FALSE(Run().has_value());
}

// Stand-in shell windows: classes of the shell's names registered in this process.
class ShellWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* name : {"Progman", "WorkerW", "SHELLDLL_DefView", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"}) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = name;
            RegisterClassA(&wc);
        }
    }
    static UniqueHwnd TopLevel(const char* className) {
        return UniqueHwnd(CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8,
                                          nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    }
    static HWND Child(HWND parent, const char* className) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, 4, 4, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
};

TEST_F(ShellWindows, IconViewUnderProgmanIsHiddenAndRestored) {
    UniqueHwnd progman = TopLevel("Progman");
    ASSERT_TRUE(progman);
    HWND view = Child(progman.get(), "SHELLDLL_DefView");
    ASSERT_TRUE(view);
    HideDesktopIcons(true);
    EXPECT_FALSE(IsWindowVisible(view));
    HideDesktopIcons(false);
    EXPECT_TRUE(IsWindowVisible(view));
}

TEST_F(ShellWindows, IconViewUnderTheSecondWorkerWIsFound) {
    UniqueHwnd holder = TopLevel("WorkerW");
    UniqueHwnd empty = TopLevel("WorkerW");
    ASSERT_TRUE(holder && empty);
    HWND view = Child(holder.get(), "SHELLDLL_DefView");
    ASSERT_TRUE(view);
    // The search walks the top-level windows in z-order: the empty one must come first.
    SetWindowPos(empty.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(FindWindowExA(nullptr, nullptr, "WorkerW", nullptr), empty.get());
    HideDesktopIcons(true);
    EXPECT_FALSE(IsWindowVisible(view));
    HideDesktopIcons(false);
    EXPECT_TRUE(IsWindowVisible(view));
}

TEST_F(ShellWindows, TopLevelViewIsNotMistakenForTheIconView) {
    // With neither Progman nor WorkerW, a top-level window of the view's class is no icon view.
    ASSERT_EQ(FindWindowA("Progman", nullptr), nullptr);
    ASSERT_EQ(FindWindowA("WorkerW", nullptr), nullptr);
    UniqueHwnd stray = TopLevel("SHELLDLL_DefView");
    ASSERT_TRUE(stray);
    HideDesktopIcons(true);
    EXPECT_TRUE(IsWindowVisible(stray.get()));
}

TEST_F(ShellWindows, TaskbarAndStartButtonAreHiddenAndShown) {
    UniqueHwnd tray = TopLevel("Shell_TrayWnd");
    UniqueHwnd button = TopLevel("Button");
    ASSERT_TRUE(tray && button);
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.get());
    ASSERT_EQ(FindWindowA("Button", nullptr), button.get());
    HideTaskbar(true);
    EXPECT_FALSE(IsWindowVisible(tray.get()));
    EXPECT_FALSE(IsWindowVisible(button.get()));
    HideTaskbar(false);
    EXPECT_TRUE(IsWindowVisible(tray.get()));
    EXPECT_TRUE(IsWindowVisible(button.get()));
}

TEST_F(ShellWindows, EveryTaskbarIsHiddenAndShown) {
    UniqueHwnd tray = TopLevel("Shell_TrayWnd"), second = TopLevel("Shell_SecondaryTrayWnd"),
               third = TopLevel("Shell_SecondaryTrayWnd");
    ASSERT_TRUE(tray && second && third);
    EXPECT_TRUE(HideTaskbars());
    EXPECT_FALSE(IsWindowVisible(tray.get()) || IsWindowVisible(second.get()) || IsWindowVisible(third.get()));
    // A taskbar of another process on the desktop (Wine's own) takes the posted hide a moment
    // later; once every taskbar is hidden there is nothing left to hide.
    bool hidAgain = true;
    for (int look = 0; look < 40 && hidAgain; ++look) {
        hidAgain = HideTaskbars();
        if (hidAgain) Sleep(50);
    }
    EXPECT_FALSE(hidAgain) << "none was visible";
    ShowTaskbars();
    EXPECT_TRUE(IsWindowVisible(tray.get()) && IsWindowVisible(second.get()) && IsWindowVisible(third.get()));
}

TEST_F(ShellWindows, TransparentBackgroundLeavesTheShellAlone) {
    UniqueHwnd tray = TopLevel("Shell_TrayWnd");
    UniqueHwnd progman = TopLevel("Progman");
    ASSERT_TRUE(tray && progman);
    ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), tray.get());
    HWND view = Child(progman.get(), "SHELLDLL_DefView");
    HideShell(true, true);
    EXPECT_TRUE(IsWindowVisible(tray.get()));
    EXPECT_TRUE(IsWindowVisible(view));
    HideShell(true, false);
    EXPECT_FALSE(IsWindowVisible(tray.get()));
    EXPECT_FALSE(IsWindowVisible(view));
    HideShell(false, false);
    EXPECT_TRUE(IsWindowVisible(tray.get()));
    EXPECT_TRUE(IsWindowVisible(view));
}

TEST_F(ShellWindows, ShowShellRepairsWhatALockLeftHidden) {
    UniqueHwnd tray = TopLevel("Shell_TrayWnd");
    UniqueHwnd button = TopLevel("Button");
    UniqueHwnd progman = TopLevel("Progman");
    ASSERT_TRUE(tray && button && progman);
    HWND view = Child(progman.get(), "SHELLDLL_DefView");
    HideShell(true, false);
    ASSERT_FALSE(IsWindowVisible(tray.get()));
    ShowShell();
    EXPECT_TRUE(IsWindowVisible(tray.get()));
    EXPECT_TRUE(IsWindowVisible(button.get()));
    EXPECT_TRUE(IsWindowVisible(view));
}

}  // namespace
