// The tray owner window under Wine's real shell icon area: the icon record, the menu's captions
// and check marks, the callback's answers, the autolock switch, the icon coming back after the
// shell lost it, and the window's end.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/LockSession.h"
#include "configui/ConfigDialog.h"
#include "support/SessionSupport.h"
#include "core/PolicyRegistry.h"
#include "lockscreen/VerifyDialog.h"
#include "resources/version.h"
#include "support/DrawTestSupport.h"
#include "support/LockStateTestAccess.h"
#include "support/RawRegistry.h"
#include "tray/TrayWindow.h"

namespace {

#if !defined(_WIN64)
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the first icon record of 32-bit Windows");
#endif

constexpr char kTip[] = "Orvo PC Lock 1.0\r\nhttps://www.example.com/orvo-pc-lock/";

// True while the shell holds an icon 0 of the window: changing nothing succeeds only then.
bool ShellHasIcon(HWND owner) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = owner;
    probe.uID = 0;
    probe.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

std::string Caption(HMENU menu, int index) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(index), text, sizeof text, MF_BYPOSITION);
    return text;
}

bool IsChecked(HMENU menu, int index) {
    return (GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION) & MF_CHECKED) != 0;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// What a person does with the open tray menu, from a second thread while the first one sits in
// the menu's loop: waits for the menu window of this process, notes its items, then types a key.
class MenuHand {
public:
    struct Item {
        std::string caption;
        bool checked;
    };
    // key: a character (a mnemonic), or 0 to close the menu with Escape.
    explicit MenuHand(char key) : thread_([this, key] { Run(key); }) {}
    ~MenuHand() { Join(); }
    void Join() { if (thread_.joinable()) thread_.join(); }
    bool SawMenu() const { return sawMenu_; }
    const std::vector<Item>& Items() const { return items_; }

private:
    static HWND FindOwnMenu() {
        for (HWND hwnd = FindWindowExA(nullptr, nullptr, "#32768", nullptr); hwnd;
             hwnd = FindWindowExA(nullptr, hwnd, "#32768", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd)) return hwnd;
        }
        return nullptr;
    }
    void Run(char key) {
        HWND menuWindow = nullptr;
        for (int i = 0; i < 250 && !menuWindow; ++i) {
            Sleep(20);
            menuWindow = FindOwnMenu();
        }
        if (!menuWindow) return;
        sawMenu_ = true;
        auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        const int count = menu ? GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count; ++i) items_.push_back({Caption(menu, i), IsChecked(menu, i)});
        if (key) {
            PostMessageA(menuWindow, WM_CHAR, static_cast<WPARAM>(key), 0);
        } else {
            PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    std::atomic<bool> sawMenu_{false};
    std::vector<Item> items_;
    std::thread thread_;
};

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        resources_ = drawtest::ProgramResources();
        if (!resources_) GTEST_SKIP() << "OrvoPCLock.exe with its icons is not beside the test program";
        Config = ConfigData{};
        // A lock this test causes has no windows; keep it away from the session's taskbar.
        Config.TransparentBackground = 1;
        LockStateTestAccess::SetAutoLockDisabled(false);
        LockSession& session = TestSession();
        tray_ = std::make_unique<TrayWindow>(Config, session, session, session);
        ASSERT_TRUE(tray_->Create(GetModuleHandleA(nullptr), resources_, AppVersion{1, 0, 3}));
        hwnd_ = tray_->Hwnd();
        menu_ = tray_->TrayMenu();
    }
    void TearDown() override {
        if (CurrentLockState().IsLocked()) TestSession().LockComputer(false, false);
        tray_.reset();
        SetShellExecuteFn(nullptr);
        LockStateTestAccess::SetAutoLockDisabled(false);
        Config = ConfigData{};
        Pump();
    }
    LRESULT Callback(UINT mouseMessage) { return SendMessageA(hwnd_, kTrayCallbackMessage, 0, mouseMessage); }

    HMODULE resources_ = nullptr;
    std::unique_ptr<TrayWindow> tray_;
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
};

TEST_F(TrayTest, HiddenOwnerCarriesTheIconRecordAndTheTip) {
    EXPECT_EQ(FindWindowA(nullptr, "Orvo PC Lock Tray"), hwnd_);
    EXPECT_FALSE(IsWindowVisible(hwnd_));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC)), TrayWindow::ClassProcedure());
    EXPECT_EQ(tray_->RebuildMessage(), RegisterWindowMessageA("OrvoPCLockTrayIcon"));
    EXPECT_EQ(tray_->TaskbarCreatedMessage(), RegisterWindowMessageA("TaskbarCreated"));

    ASSERT_NE(tray_->Icon(), nullptr);
    ASSERT_NE(tray_->AutoLockOffIcon(), nullptr);
    EXPECT_NE(tray_->Icon(), tray_->AutoLockOffIcon());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(tray_->Icon(), &info));
    BITMAP colour{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 16);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd_, WM_GETICON, ICON_SMALL, 0)), tray_->Icon());

    EXPECT_EQ(tray_->IconData().cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(tray_->IconData().hWnd, hwnd_);
    EXPECT_EQ(tray_->IconData().uID, 0u);
    EXPECT_EQ(tray_->IconData().uCallbackMessage, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(tray_->IconData().hIcon, tray_->Icon());
    EXPECT_STREQ(tray_->IconData().szTip, kTip);
    EXPECT_EQ(tray_->IconData().szTip[63], ' ') << "the tip field is padded with blanks";
    EXPECT_TRUE(ShellHasIcon(hwnd_));
}

// The pointer on the icon brings the tip up to date with the secret the dialog may have changed.
TEST_F(TrayTest, TipSaysWhileTheSecretIsTheDefaultPattern) {
    SetDefaultPattern(Config);
    Callback(WM_MOUSEMOVE);
    EXPECT_STREQ(tray_->IconData().szTip, "Orvo PC Lock 1.0\r\nDefault pattern: anyone can unlock");
    Config.SecretPattern[1] = 4;   // a pattern of the user's own: the tip of the other tests
}

TEST_F(TrayTest, MenuHoldsTheCaptionsInOrder) {
    ASSERT_EQ(GetMenuItemCount(menu_), kTrayMenuCount);
    const char* const expected[] = {
        "&Lock Computer              Win + A", "&Configure                  Win + C", "&About Orvo PC Lock",
        "&Online Help", "", "&Using Transparent Background", "&Disable Autolock", "", "&Exit",
    };
    for (int i = 0; i < kTrayMenuCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Caption(menu_, i), expected[i]);
        const bool separator = (GetMenuState(menu_, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        EXPECT_EQ(separator, i == kMenuSeparator1 || i == kMenuSeparator2);
        EXPECT_EQ(GetMenuItemID(menu_, i), kTrayMenuIdBase + static_cast<UINT>(i));
    }
    // Made while the setting was on.
    EXPECT_TRUE(IsChecked(menu_, kMenuTransparentBackground));
}

TEST_F(TrayTest, LeftButtonReleaseLocksPressAndMovesDoNot) {
    for (UINT message : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MBUTTONUP}) {
        EXPECT_EQ(Callback(message), 0);
        EXPECT_FALSE(CurrentLockState().IsLocked()) << "mouse message " << message;
    }
    EXPECT_EQ(Callback(WM_LBUTTONUP), 0);
    EXPECT_TRUE(CurrentLockState().IsLocked());
    // Again while locked: nothing changes and nothing breaks.
    EXPECT_EQ(Callback(WM_LBUTTONUP), 0);
    EXPECT_TRUE(CurrentLockState().IsLocked());
}

TEST_F(TrayTest, RightClickShowsTheMenuWithTheCurrentCheckMark) {
    // The configuration dialog turned the setting off since the menu was made.
    Config.TransparentBackground = 0;
    {
        MenuHand hand(0);
        EXPECT_EQ(Callback(WM_RBUTTONUP), 0);
        hand.Join();
        ASSERT_TRUE(hand.SawMenu()) << "no pop-up menu came up";
        ASSERT_EQ(hand.Items().size(), static_cast<size_t>(kTrayMenuCount));
        EXPECT_EQ(hand.Items()[kMenuLock].caption, "&Lock Computer              Win + A");
        EXPECT_EQ(hand.Items()[kMenuExit].caption, "&Exit");
        EXPECT_FALSE(hand.Items()[kMenuTransparentBackground].checked);
    }
    // Closing the menu chose nothing.
    EXPECT_EQ(Config.TransparentBackground, 0);
    EXPECT_FALSE(CurrentLockState().IsLocked());

    // Choosing the item switches the setting on and shows the mark next time.
    {
        MenuHand hand('u');
        Callback(WM_RBUTTONUP);
        hand.Join();
        ASSERT_TRUE(hand.SawMenu());
    }
    EXPECT_EQ(Config.TransparentBackground, 1);
    EXPECT_TRUE(IsChecked(menu_, kMenuTransparentBackground));
    {
        MenuHand hand('u');
        Callback(WM_RBUTTONUP);
        hand.Join();
        ASSERT_TRUE(hand.SawMenu());
        EXPECT_TRUE(hand.Items()[kMenuTransparentBackground].checked);
    }
    EXPECT_EQ(Config.TransparentBackground, 0);
    EXPECT_FALSE(IsChecked(menu_, kMenuTransparentBackground));
}

TEST_F(TrayTest, AnyNonZeroTransparentValueCountsAsOn) {
    Config.TransparentBackground = -1;
    tray_->RunMenuItem(kMenuTransparentBackground);
    EXPECT_EQ(Config.TransparentBackground, 0);
    EXPECT_FALSE(IsChecked(menu_, kMenuTransparentBackground));
}

TEST_F(TrayTest, AutolockSwitchChangesIconAndCaptionBothWays) {
    {
        MenuHand hand('d');
        Callback(WM_RBUTTONUP);
        hand.Join();
        ASSERT_TRUE(hand.SawMenu());
        EXPECT_EQ(hand.Items()[kMenuAutoLock].caption, "&Disable Autolock");
    }
    EXPECT_TRUE(CurrentLockState().IsAutoLockDisabled());
    EXPECT_EQ(tray_->IconData().hIcon, tray_->AutoLockOffIcon());
    EXPECT_EQ(Caption(menu_, kMenuAutoLock), "&Enable Autolock");
    EXPECT_TRUE(ShellHasIcon(hwnd_));

    // The icon put back by a rebuild is still the disabled one.
    tray_->RebuildIcon();
    EXPECT_EQ(tray_->IconData().hIcon, tray_->AutoLockOffIcon());
    EXPECT_TRUE(ShellHasIcon(hwnd_));

    tray_->RunMenuItem(kMenuAutoLock);
    EXPECT_FALSE(CurrentLockState().IsAutoLockDisabled());
    EXPECT_EQ(tray_->IconData().hIcon, tray_->Icon());
    EXPECT_EQ(Caption(menu_, kMenuAutoLock), "&Disable Autolock");
    EXPECT_TRUE(ShellHasIcon(hwnd_));
}

TEST_F(TrayTest, TaskbarCreatedAndTheRebuildMessagePutTheIconBack) {
    // The shell forgets the icon, as after a restart of the taskbar.
    NOTIFYICONDATAA lost = tray_->IconData();
    lost.uFlags = 0;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_FALSE(ShellHasIcon(hwnd_));
    EXPECT_EQ(SendMessageA(hwnd_, RegisterWindowMessageA("TaskbarCreated"), 0, 0), 0);
    EXPECT_TRUE(ShellHasIcon(hwnd_));
    EXPECT_STREQ(tray_->IconData().szTip, kTip);
    // The window's own procedure, not a subclass put in front of it.
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC)), TrayWindow::ClassProcedure());
    EXPECT_EQ(SendMessageA(hwnd_, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(strlen("Orvo PC Lock Tray")));

    // The shell's broadcast reaches the hidden window as well.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_FALSE(ShellHasIcon(hwnd_));
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    for (int i = 0; i < 50 && !ShellHasIcon(hwnd_); ++i) {
        Pump();
        Sleep(20);
    }
    EXPECT_TRUE(ShellHasIcon(hwnd_));

    // The program's own rebuild message.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    EXPECT_EQ(SendMessageA(hwnd_, RegisterWindowMessageA("OrvoPCLockTrayIcon"), 0, 0), 0);
    EXPECT_TRUE(ShellHasIcon(hwnd_));
}

TEST_F(TrayTest, OnlyClosingFromWithinEndsTheWindowAndTakesTheIcon) {
    // Another program's close request changes nothing.
    EXPECT_EQ(SendMessageA(hwnd_, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd_));
    EXPECT_TRUE(ShellHasIcon(hwnd_));

    tray_->Close();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_FALSE(ShellHasIcon(hwnd_));
    EXPECT_EQ(FindWindowA(nullptr, "Orvo PC Lock Tray"), nullptr);
    EXPECT_EQ(tray_->IconData().hWnd, nullptr);
    // The rebuild after the end has nothing to put back.
    tray_->RebuildIcon();
    EXPECT_EQ(tray_->IconData().hWnd, nullptr);
}

struct ShellCall {
    std::string verb, file;
    bool params = false, dir = false;
    int show = -1;
    int count = 0;
};
ShellCall LastShell;

HINSTANCE RecordShell(HWND, const char* verb, const char* file, const char* params, const char* dir, int show) {
    LastShell.verb = verb ? verb : "";
    LastShell.file = file ? file : "";
    LastShell.params = params != nullptr;
    LastShell.dir = dir != nullptr;
    LastShell.show = show;
    ++LastShell.count;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

TEST_F(TrayTest, OnlineHelpOpensTheFaqPage) {
    LastShell = ShellCall{};
    SetShellExecuteFn(RecordShell);
    tray_->RunMenuItem(kMenuOnlineHelp);
    EXPECT_EQ(LastShell.count, 1);
    EXPECT_EQ(LastShell.verb, "open");
    EXPECT_EQ(LastShell.file, ORVO_FAQ_URL);
    EXPECT_FALSE(LastShell.params);
    EXPECT_FALSE(LastShell.dir);
    EXPECT_EQ(LastShell.show, SW_SHOWNORMAL);
    // The separators and unknown indices do nothing.
    for (int index : {static_cast<int>(kMenuSeparator1), static_cast<int>(kMenuSeparator2), -1, static_cast<int>(kTrayMenuCount)}) tray_->RunMenuItem(index);
    EXPECT_EQ(LastShell.count, 1);
    EXPECT_FALSE(CurrentLockState().IsLocked());
}

TEST_F(TrayTest, LockItemLocks) {
    tray_->RunMenuItem(kMenuLock);
    EXPECT_TRUE(CurrentLockState().IsLocked());
}

// Written while the program runs, a policy rules from the next lock on: the alert count the lock
// window reads, and Exit refused. Values of another type, too long or out of range are ignored.
TEST_F(TrayTest, APolicyWrittenWhileRunningRulesFromTheNextLock) {
    Config.AlertTimes = 3;
    ApplyPolicySettings(Config);
    rawreg::WriteDword(kUserPolicyKey, "NoTrayExit", 1);
    rawreg::WriteDword(kUserPolicyKey, "AlertTimes", 1);
    rawreg::WriteDword(kUserPolicyKey, "RequireService", 0xFFFFFFFF);
    rawreg::Write(kUserPolicyKey, "AlertMode", REG_SZ, "2");
    rawreg::Write(kUserPolicyKey, "LockKeyboard", REG_BINARY, std::string(4, '\1'));
    rawreg::Write(kUserPolicyKey, "AutoLockTime", REG_QWORD, std::string(8, '\1'));
    rawreg::Write(kUserPolicyKey, "AutoStartLock", REG_SZ, std::string(100000, '1'));
    tray_->RunMenuItem(kMenuLock);
    TestSession().LockComputer(false, false);
    for (const char* name : {"NoTrayExit", "AlertTimes", "RequireService", "AlertMode", "LockKeyboard", "AutoLockTime", "AutoStartLock"})
        rawreg::Delete(kUserPolicyKey, name);
    EXPECT_EQ(Config.AlertTimes, 1);
    tray_->RunMenuItem(kMenuExit);
    MSG quit;
    EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "Exit is refused";
    EXPECT_EQ(ThePolicyOverlay().IgnoredNoticeOnce(), "Policy values out of range were ignored: "
                                                      "AutoLockTime, AutoStartLock, AlertMode, LockKeyboard, RequireService.");
    RefreshPolicySettings(Config);
    EXPECT_EQ(Config.AlertTimes, 3) << "the file's own value is back";
}

}  // namespace
