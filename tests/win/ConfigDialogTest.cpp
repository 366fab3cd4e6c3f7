// The configuration dialog in this process: its controls, the values each list writes, the
// normalisations on opening, the background picture, the maintenance buttons, and saving on
// every way of closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/Startup.h"
#include "core/ConfigFile.h"
#include "core/PolicyRegistry.h"
#include "support/ConfigTestSupport.h"
#include "support/LockStateTestAccess.h"
#include "support/RawRegistry.h"
#include "system/Restrictions.h"
#include "system/Text.h"
#include "ui/ImageTable.h"
#include "support/SessionSupport.h"

using namespace configtest;

namespace {

class ConfigDialogTest : public ConfigDialogFixture {};

struct Placement {
    int id;
    int x, y, width, height;   // height 0: not checked (lists size themselves to the font)
    const char* text;
};

// Every control of the panes at its place with its text, relative to its pane.
const Placement kPlacements[] = {
    {kIdFrame + 0, 0, 0, 360, 400, " Lock Pattern: "},
    {kIdFrame + 1, 0, 0, 360, 400, " Options: "},
    {kIdFrame + 2, 0, 0, 360, 400, " Background Image: "},
    {kIdFrame + 3, 0, 0, 360, 400, " Advanced: "},
    {kIdPicReset, 18, 30, 322, 322, nullptr},
    {kIdCmdResetPattern, 15, 365, 100, 0, "Reset Pattern"},
    {kIdCmdBackupPattern, 121, 365, 100, 0, "Backup Pattern"},
    {kIdCombGrid, 228, 365, 112, 0, nullptr},
    {kIdLabel1 + 0, 18, 30, 0, 0, "Autolock at Windows startup: "},
    {kIdCombAutoStartLock, 230, 30, 110, 0, nullptr},
    {kIdLabel1 + 4, 18, 60, 0, 0, "Autolock computer after: "},
    {kIdCombAutoLock, 230, 60, 110, 0, nullptr},
    {kIdLabel1 + 1, 18, 90, 0, 0, "Turn off the monitor after: "},
    {kIdCombMonitor, 230, 90, 110, 0, nullptr},
    {kIdLabel1 + 2, 18, 120, 0, 0, "Autohide unlock window after: "},
    {kIdCombAutoHide, 230, 120, 110, 0, nullptr},
    {kIdLabel1 + 6, 18, 150, 0, 0, "Disconnect internet when locked: "},
    {kIdCombDisconnection, 230, 150, 110, 0, nullptr},
    {kIdLabel1 + 3, 18, 180, 0, 0, "Alert after enter incorrect pattern over: "},
    {kIdCombAlert, 230, 180, 110, 0, nullptr},
    {kIdLabel1 + 5, 18, 210, 0, 0, "Alert mode:"},
    {kIdCombAlertMode, 180, 210, 160, 0, nullptr},
    {kIdLabel1 + 7, 18, 240, 0, 0, "Lock keyboard:"},
    {kIdCombLockKeyboard, 230, 240, 110, 0, nullptr},
    {kIdLabel1 + 8, 18, 270, 0, 0, "Unlock mode:"},
    {kIdCombUnlockMode, 180, 270, 160, 0, nullptr},
    {kIdLabel2, 18, 300, 0, 0, "Alert text:"},
    {kIdTxtAlertWord, 19, 320, 320, 60, nullptr},
    {kIdPicBakImage, 18, 30, 322, 242, nullptr},
    {kIdCmdUseDefaultImage, 18, 285, 100, 0, "Use Default"},
    {kIdCmdPickImage, 129, 285, 100, 0, "Pick Image"},
    {kIdCombEffect, 240, 285, 100, 0, nullptr},
    {kIdChkTransparentBackground, 18, 315, 320, 0, "Using Transparent Background"},
    {kIdLabel3 + 0, 48, 46, 262, 53,
     "Autolock computer at system startup in safe mode. Make sure your system is on the top security level."},
    {kIdCmdEnableSafeModeLock, 45, 100, 270, 23, "Enable Autolock at Startup in Safe Mode"},
    {kIdCmdDisableSafeModeLock, 45, 130, 270, 23, "Disable Autolock at Startup in Safe Mode"},
    {kIdLabel3 + 2, 46, 176, 274, 48,
     "Fix the troubles of abnormal program termination. Such as can not open Task Manager, do not display desktop "
     "and taskbar"},
    {kIdCmdFixTroubles, 45, 230, 270, 23, "Fix Troubles of Abnormal Program Termination"},
    {kIdLabel3 + 1, 47, 276, 268, 48, "Change the sleep and display settings that you want your computer to use."},
    {kIdCmdPowerManager, 45, 330, 270, 23, "Power Manager"},
};

TEST_F(ConfigDialogTest, WindowFrameAndTopLevelControls) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowText(dialog), "Orvo PC Lock - Configure");
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 402);
    EXPECT_EQ(client.bottom, 489);
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    HWND tab = FindControl(dialog, kIdTabStrip);
    ASSERT_NE(tab, nullptr);
    char name[32] = "";
    GetClassNameA(tab, name, sizeof name);
    EXPECT_STREQ(name, "OrvoXPTab");
    const RECT tabRect = ControlRect(tab);
    EXPECT_EQ(tabRect.left, 8);
    EXPECT_EQ(tabRect.top, 10);
    EXPECT_EQ(tabRect.right - tabRect.left, 385);
    EXPECT_EQ(tabRect.bottom - tabRect.top, 445);
    const TabStrip* strip = TabStrip::FromHwnd(tab);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->TabCount(), 3);
    EXPECT_EQ(strip->TabSelect(), 0);

    HWND ok = FindControl(dialog, kIdCmdConfig);
    EXPECT_EQ(WindowText(ok), "&OK");
    const RECT okRect = ControlRect(ok);
    EXPECT_EQ(okRect.left, 152);
    EXPECT_EQ(okRect.top, 460);
    EXPECT_EQ(okRect.right - okRect.left, 100);
    EXPECT_EQ(okRect.bottom - okRect.top, 24);

    for (int pane = 0; pane < kConfigPaneCount; ++pane) {
        HWND p = FindControl(dialog, kIdPicConfig + pane);
        ASSERT_NE(p, nullptr) << pane;
        const RECT r = ControlRect(p);
        EXPECT_EQ(r.left, 20);
        EXPECT_EQ(r.top, 42);
        EXPECT_EQ(r.right - r.left, 360);
        EXPECT_EQ(r.bottom - r.top, 400);
        EXPECT_EQ(IsWindowVisible(p) != FALSE, pane == 0) << "only pane 1 is in front when the dialog opens";
    }
}

TEST_F(ConfigDialogTest, EveryPaneControlAtItsPlaceWithItsText) {
    HWND dialog = Open();
    for (const Placement& p : kPlacements) {
        HWND control = FindControl(dialog, p.id);
        ASSERT_NE(control, nullptr) << "control " << p.id;
        const RECT r = ControlRect(control);
        EXPECT_EQ(r.left, p.x) << p.id;
        EXPECT_EQ(r.top, p.y) << p.id;
        if (p.width) {
            EXPECT_EQ(r.right - r.left, p.width) << p.id;
        }
        if (p.height) {
            EXPECT_EQ(r.bottom - r.top, p.height) << p.id;
        }
        if (p.text) {
            EXPECT_EQ(WindowText(control), p.text) << p.id;
        }
    }
}

TEST_F(ConfigDialogTest, ListsHoldExactlyTheirEntries) {
    HWND dialog = Open();
    const std::vector<std::string> times = {"Never", "1 minute", "2 minutes", "3 minutes", "4 minutes",
                                            "5 minutes", "10 minutes", "15 minutes", "20 minutes", "25 minutes",
                                            "30 minutes", "45 minutes", "1 hour", "2 hours", "3 hours", "5 hours"};
    const std::vector<std::string> noYes = {"No", "Yes"};
    struct Expected {
        int id;
        std::vector<std::string> entries;
    };
    const Expected lists[] = {
        {kIdCombGrid, {"3 * 3 (9 Points)", "4 * 4 (16 Points) ", "5 * 5 (25 Points)"}},
        {kIdCombAutoStartLock, {"Off", "On"}},
        {kIdCombAutoLock, times},
        {kIdCombMonitor, times},
        {kIdCombAutoHide, times},
        {kIdCombDisconnection, noYes},
        {kIdCombAlert, {"Never", "1 time", "2 times", "3 times", "4 times", "5 times", "6 times", "7 times"}},
        {kIdCombAlertMode, {"None", "Alarm with 1 minute", "Alarm with 2 minutes", "Alarm with 3 minutes",
                            "Lock computer", "Shutdown computer"}},
        {kIdCombLockKeyboard, noYes},
        {kIdCombUnlockMode, {"Normal Unlock Mode", "Secure Unlock Mode", "Dynamic Password Mode"}},
        {kIdCombEffect, {"Effect Off", "Effect On"}},
    };
    for (const Expected& e : lists) {
        HWND list = FindControl(dialog, e.id);
        ASSERT_NE(list, nullptr) << e.id;
        EXPECT_EQ(ListEntries(list), e.entries) << e.id;
        EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << e.id;
    }
}

TEST_F(ConfigDialogTest, OpeningShowsTheStoredValues) {
    Config.AutoLockTime = 1800;
    Config.AutoHideTime = 60;
    Config.MonitorOffTime = 18000;
    Config.AlertTimes = 7;
    Config.AlertMode = 4;
    Config.Effect = 0;
    Config.Disconnection = 1;
    Config.LockKeyboard = 1;
    Config.UnlockMode = 2;
    HWND dialog = Open();
    struct Shown { int id; int index; };
    const Shown shown[] = {{kIdCombAutoLock, 10}, {kIdCombAutoHide, 1}, {kIdCombMonitor, 15}, {kIdCombAlert, 7},
                           {kIdCombAlertMode, 4}, {kIdCombEffect, 0}, {kIdCombDisconnection, 1},
                           {kIdCombLockKeyboard, 1}, {kIdCombUnlockMode, 2}, {kIdCombGrid, 0},
                           {kIdCombAutoStartLock, 0}};
    for (const Shown& s : shown) EXPECT_EQ(ListSelection(FindControl(dialog, s.id)), s.index) << s.id;
    EXPECT_EQ(CurrentLockState().UnlockMode(), 2);
    EXPECT_EQ(Config.AutoLockTime, 1800);
}

TEST_F(ConfigDialogTest, OpeningNormalisesUnknownTimesAndKeepsOutOfRangeFields) {
    Config.AutoLockTime = 100;
    Config.MonitorOffTime = -5;
    Config.AlertTimes = 9;
    HWND dialog = Open();
    HWND autoLock = FindControl(dialog, kIdCombAutoLock);
    EXPECT_EQ(ListSelection(autoLock), 0);
    char text[64] = "";
    GetWindowTextA(autoLock, text, sizeof text);
    EXPECT_STREQ(text, "Never");
    EXPECT_EQ(Config.AutoLockTime, 0);
    EXPECT_EQ(Config.MonitorOffTime, 0);
    // No entry 9: the list stays without a selection and the field keeps its value.
    EXPECT_EQ(ListSelection(FindControl(dialog, kIdCombAlert)), CB_ERR);
    EXPECT_EQ(Config.AlertTimes, 9);
}

TEST_F(ConfigDialogTest, EachListWritesItsField) {
    HWND dialog = Open();
    PickListEntry(dialog, kIdCombAutoLock, 12);
    EXPECT_EQ(Config.AutoLockTime, 3600);
    PickListEntry(dialog, kIdCombMonitor, 6);
    EXPECT_EQ(Config.MonitorOffTime, 600);
    PickListEntry(dialog, kIdCombAutoHide, 0);
    EXPECT_EQ(Config.AutoHideTime, 0);
    PickListEntry(dialog, kIdCombAlert, 5);
    EXPECT_EQ(Config.AlertTimes, 5);
    PickListEntry(dialog, kIdCombAlertMode, 5);
    EXPECT_EQ(Config.AlertMode, 5);
    PickListEntry(dialog, kIdCombEffect, 0);
    EXPECT_EQ(Config.Effect, 0);
    PickListEntry(dialog, kIdCombDisconnection, 1);
    EXPECT_EQ(Config.Disconnection, 1);
    PickListEntry(dialog, kIdCombLockKeyboard, 1);
    EXPECT_EQ(Config.LockKeyboard, 1);
    PickListEntry(dialog, kIdCombUnlockMode, 1);
    EXPECT_EQ(Config.UnlockMode, 1);
    EXPECT_EQ(CurrentLockState().UnlockMode(), 1);
    EXPECT_TRUE(Recorded().Messages.empty());
}

TEST_F(ConfigDialogTest, AutoStartLockGoesThroughTheRunEntry) {
    Config.AutoStartLock = -1;   // set, but the Run entry was removed by hand
    HWND dialog = Open();
    const auto run = rawreg::Read(kRunKey, kRunValueName);
    ASSERT_TRUE(run.has_value()) << "opening re-applies the start-up entry";
    EXPECT_EQ(TrimNull(run->Bytes), StartupLockCommand(TheProgramFiles().AppPath, TheProgramFiles().AppExeName));
    EXPECT_EQ(Config.AutoStartLock, -1);
    PickListEntry(dialog, kIdCombAutoStartLock, 0);
    EXPECT_FALSE(rawreg::Read(kRunKey, kRunValueName).has_value());
    EXPECT_EQ(Config.AutoStartLock, 0);
}

TEST_F(ConfigDialogTest, GridChangeInstallsTheDefaultPatternAtOnce) {
    HWND dialog = Open();
    Config.SecretPattern[1] = 9;
    Config.SecretPattern[2] = 8;
    PickListEntry(dialog, kIdCombGrid, 0);   // the size in force: nothing happens
    EXPECT_TRUE(Recorded().Messages.empty());
    EXPECT_EQ(Config.SecretPattern[1], 9);

    PickListEntry(dialog, kIdCombGrid, 1);
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Lock Pattern will be reset by default pattern");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONINFORMATION));
    EXPECT_EQ(Config.Grid, 1);
    ConfigData expected = Config;
    SetDefaultPattern(expected);
    EXPECT_EQ(Config.SecretPattern, expected.SecretPattern);
    EXPECT_EQ(Layout.GridSide, 4);
    EXPECT_EQ(EnteredKeys.Slots().size(), 17u);
}

TEST_F(ConfigDialogTest, AlertTextIsStoredTrimmedAndCut) {
    SetFixedText(Config.AlertWord, "");
    const char stored[] = "  Keep off\0rest";
    std::copy(std::begin(stored), std::end(stored) - 1, Config.AlertWord.begin());
    HWND dialog = Open();
    HWND box = FindControl(dialog, kIdTxtAlertWord);
    EXPECT_EQ(WindowText(box), "Keep off");
    // Cut at the NUL, then the box's text handler stores it trimmed and blank-padded.
    EXPECT_EQ(std::string(Config.AlertWord.data(), Config.AlertWord.size()), "Keep off" + std::string(120, ' '));
    EXPECT_EQ(AlertText, "Keep off");
    // Once the box reports its text, the field holds it trimmed.
    SetWindowTextA(box, "  Hands off!  ");
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(kIdTxtAlertWord, EN_CHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(ReadFixedText(Config.AlertWord), "Hands off!");
    EXPECT_EQ(std::string(Config.AlertWord.data(), 10), "Hands off!");
    EXPECT_EQ(AlertText, "Hands off!");
    EXPECT_EQ(WindowText(box), "  Hands off!  ");

    const std::string longText = std::string(100, 'a') + std::string(30, 'b');
    SetWindowTextA(box, longText.c_str());
    SendMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(kIdTxtAlertWord, EN_CHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(std::string(Config.AlertWord.data(), Config.AlertWord.size()), longText.substr(0, 128));
    EXPECT_EQ(AlertText, longText.substr(0, 128));
    EXPECT_EQ(SendMessageA(box, EM_GETLIMITTEXT, 0, 0), 128);
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & ES_MULTILINE);
}

TEST_F(ConfigDialogTest, TransparentBackgroundDisablesThePictureControls) {
    Config.TransparentBackground = 1;
    HWND dialog = Open();
    HWND check = FindControl(dialog, kIdChkTransparentBackground);
    const int dependants[] = {kIdCmdUseDefaultImage, kIdCmdPickImage, kIdCombEffect};
    EXPECT_EQ(SendMessageA(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    for (int id : dependants) EXPECT_FALSE(IsWindowEnabled(FindControl(dialog, id))) << id;
    Click(dialog, kIdChkTransparentBackground);
    EXPECT_EQ(Config.TransparentBackground, 0);
    for (int id : dependants) EXPECT_TRUE(IsWindowEnabled(FindControl(dialog, id))) << id;
    Click(dialog, kIdChkTransparentBackground);
    EXPECT_EQ(Config.TransparentBackground, 1);
    for (int id : dependants) EXPECT_FALSE(IsWindowEnabled(FindControl(dialog, id))) << id;
}

TEST_F(ConfigDialogTest, TabPressBringsItsPaneForward) {
    HWND dialog = Open();
    HWND tab = FindControl(dialog, kIdTabStrip);
    const TabStrip* strip = TabStrip::FromHwnd(tab);
    ASSERT_NE(strip, nullptr);
    for (int pick : {2, 3, 1, 0}) {
        const int x = 81 * pick + 40;
        SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 12));
        SendMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(x, 12));
        EXPECT_EQ(strip->TabSelect(), pick);
        for (int pane = 0; pane < kConfigPaneCount; ++pane) {
            EXPECT_EQ(IsWindowVisible(FindControl(dialog, kIdPicConfig + pane)) != FALSE, pane == pick)
                << "tab " << pick << " pane " << pane;
        }
    }
    // A press below the captions, on the page, changes nothing.
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(81 * 2 + 40, 40));
    EXPECT_EQ(strip->TabSelect(), 0);
}

TEST_F(ConfigDialogTest, BackgroundTabHasItsTooltip) {
    HWND dialog = Open();
    const TabStrip* strip = TabStrip::FromHwnd(FindControl(dialog, kIdTabStrip));
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(strip->Tooltip(), nullptr);
    char text[64] = "";
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = strip->Hwnd();
    ti.uId = 2;
    ti.lpszText = text;
    SendMessageA(strip->Tooltip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Background Image");
    ASSERT_TRUE(SendMessageA(strip->Tooltip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.rect.left, 164);
    EXPECT_EQ(ti.rect.right, 244);
}

TEST_F(ConfigDialogTest, ClosingSavesWhicheverWayItCloses) {
    for (bool viaOk : {false, true}) {
        DeleteFileA(TheProgramFiles().ConfigFilePath.c_str());
        HWND dialog = Open();
        PickListEntry(dialog, kIdCombAlertMode, viaOk ? 3 : 2);
        if (viaOk) Click(dialog, kIdCmdConfig);
        else SendMessageA(dialog, WM_CLOSE, 0, 0);
        Pump();
        EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr);
        EXPECT_FALSE(IsWindow(dialog));
        const std::string file = ReadWholeFile(TheProgramFiles().ConfigFilePath);
        ASSERT_EQ(file.size(), kConfigFileSize) << (viaOk ? "OK" : "close box");
        ConfigBytes bytes{};
        std::copy(file.begin(), file.end(), bytes.begin());
        const ConfigData saved = DecodeConfig(bytes);
        EXPECT_EQ(saved.AlertMode, viaOk ? 3 : 2);
        EXPECT_EQ(saved.FileMark, kConfigFileMark);
        EXPECT_EQ(saved, Config);
    }
}

TEST_F(ConfigDialogTest, PolicySetListsAreGreyedWithTheNoteAndNeverSaved) {
    Config.LockKeyboard = 0;
    Config.AlertMode = 2;
    rawreg::WriteDword(kUserPolicyKey, "LockKeyboard", 1);
    rawreg::WriteDword(kUserPolicyKey, "AlertMode", 9);   // out of range: ignored
    ApplyPolicySettings(Config);
    rawreg::Delete(kUserPolicyKey, "LockKeyboard");
    rawreg::Delete(kUserPolicyKey, "AlertMode");
    HWND dialog = Open();
    HWND keyboard = FindControl(dialog, kIdCombLockKeyboard);
    EXPECT_FALSE(IsWindowEnabled(keyboard));
    EXPECT_EQ(ListSelection(keyboard), 1);
    EXPECT_TRUE(IsWindowEnabled(FindControl(dialog, kIdCombAlertMode)));
    EXPECT_EQ(WindowText(FindControl(dialog, kIdLblSetByPolicy)), kSetByPolicyNote);
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(Config.LockKeyboard, 1) << "the lock follows the policy";
    ApplyPolicySettings(Config);   // no policy any more, for the tests that follow
    EXPECT_FALSE(AnyListSetByPolicy());
    const std::string file = ReadWholeFile(TheProgramFiles().ConfigFilePath);
    ASSERT_EQ(file.size(), kConfigFileSize);
    EXPECT_EQ(static_cast<uint8_t>(file[ConfigOffset::LockKeyboard]), 0) << "the file keeps its own value";
}

TEST_F(ConfigDialogTest, OneInstanceBroughtForward) {
    HWND first = Open();
    PickListEntry(first, kIdCombAlert, 6);
    TestSession().ShowConfigDialog();
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), first);
    EXPECT_EQ(ListSelection(FindControl(first, kIdCombAlert)), 6) << "state unchanged";
}

// A timer of this thread closes the dialog once the modal loop runs.
void CALLBACK CloseWhenOpen(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND dialog = TestSession().ConfigDialogHwnd()) {
        KillTimer(nullptr, id);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

TEST_F(ConfigDialogTest, FirstRunShowsItModallyAndWaits) {
    ASSERT_NE(SetTimer(nullptr, 0, 20, CloseWhenOpen), 0u);
    ConfigFileCheck check{.IsFirstRun = true};
    HandleFirstRunOrBrokenConfig(TestSession(), check);
    EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr) << "returns only after the dialog closed";
    EXPECT_FALSE(check.IsFirstRun);
    ASSERT_FALSE(Recorded().Messages.empty());
    EXPECT_EQ(Recorded().Messages[0].Text,
              "You are first running Orvo PC Lock.\r\nFor computer security, Please reset your lock pattern.");
    EXPECT_EQ(ReadWholeFile(TheProgramFiles().ConfigFilePath).size(), kConfigFileSize);
}

TEST_F(ConfigDialogTest, MaintenanceButtonsStartTheToolOrReportItLost) {
    HWND dialog = Open();
    const std::string tool = TheProgramFiles().AppPath + "OrvoPCLockTool.exe";
    Click(dialog, kIdCmdEnableSafeModeLock);
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text,
              "Lost file '" + tool + "'. Please reinstall Orvo PC Lock to repair this problem!");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONINFORMATION));
    EXPECT_TRUE(Recorded().ShellCalls.empty());

    ASSERT_TRUE(WriteWholeFile(tool, "MZ"));
    const char* const arguments[] = {"/Enable", "/Disable", "/Fix"};
    for (int i = 0; i < 3; ++i) {
        Click(dialog, kIdCmdEnableSafeModeLock + i);
        ASSERT_EQ(Recorded().ShellCalls.size(), static_cast<size_t>(i + 1));
        const ShellCall& call = Recorded().ShellCalls.back();
        EXPECT_EQ(call.Verb, "open");
        EXPECT_EQ(call.File, tool);
        EXPECT_EQ(call.Params, arguments[i]);
        EXPECT_EQ(call.Show, SW_SHOWNORMAL);
        EXPECT_FALSE(call.HasOwner);
    }
    Click(dialog, kIdCmdPowerManager);
    const ShellCall& power = Recorded().ShellCalls.back();
    EXPECT_EQ(power.Verb, "open");
    EXPECT_EQ(power.File, "rundll32.exe");
    EXPECT_EQ(power.Params, "shell32.dll,Control_RunDLL   Powercfg.cpl");
    EXPECT_EQ(power.Show, SW_SHOWNORMAL);
    EXPECT_EQ(Recorded().Messages.size(), 1u);
}

uint32_t PreviewPixel(HWND dialog, int x, int y) {
    int width = 0, height = 0;
    const std::vector<uint32_t> pixels = BoxPixels(dialog, kIdPicBakImage, width, height);
    if (width != 322 || height != 242) return 0xDEADBEEF;
    return pixels[static_cast<size_t>(y) * width + x];
}

TEST_F(ConfigDialogTest, PickedPictureShowsInThePreviewAndUseDefaultDropsIt) {
    const std::string picture = folder_ + "red.bmp";
    ASSERT_TRUE(WriteWholeFile(picture, SolidBitmapFile(16, 12, RGB(255, 0, 0))));
    HWND dialog = Open();
    EXPECT_EQ(PreviewPixel(dialog, 160, 120), 0xFFFFFFu) << "no built-in picture in the test program";

    Recorded().FileAnswers.push_back(picture);
    Click(dialog, kIdCmdPickImage);
    ASSERT_EQ(Recorded().FileDialogs.size(), 1u);
    const FileDialogCall& call = Recorded().FileDialogs[0];
    EXPECT_FALSE(call.IsSave);
    EXPECT_EQ(call.Title, "Orvo PC Lock - Choose Background Image");
    EXPECT_EQ(call.Filter, std::string("*.jpg;*.bmp;*.png\0*.jpg;*.bmp;*.png\0\0", 37));
    EXPECT_EQ(call.DefaultName, "");
    EXPECT_EQ(call.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
    EXPECT_EQ(ReadFixedText(Config.BackgroundImage), picture);
    EXPECT_EQ(PreviewPixel(dialog, 160, 120), 0xFF0000u);
    EXPECT_EQ(PreviewPixel(dialog, 321, 241), 0xFFFFFFu) << "drawn into 320 x 240 on white";

    Click(dialog, kIdCmdUseDefaultImage);
    EXPECT_EQ(ReadFixedText(Config.BackgroundImage), "");
    EXPECT_EQ(PreviewPixel(dialog, 160, 120), 0xFFFFFFu);
}

TEST_F(ConfigDialogTest, UnreadablePictureKeepsTheCurrentOne) {
    const std::string good = folder_ + "green.bmp";
    const std::string bad = folder_ + "broken.jpg";
    ASSERT_TRUE(WriteWholeFile(good, SolidBitmapFile(8, 8, RGB(0, 255, 0))));
    ASSERT_TRUE(WriteWholeFile(bad, "this is no picture"));
    HWND dialog = Open();
    Recorded().FileAnswers = {good, bad, ""};
    Click(dialog, kIdCmdPickImage);
    ASSERT_EQ(PreviewPixel(dialog, 10, 10), 0x00FF00u);
    Click(dialog, kIdCmdPickImage);
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONINFORMATION));
    EXPECT_NE(Recorded().Messages[0].Text.find(bad), std::string::npos);
    EXPECT_EQ(ReadFixedText(Config.BackgroundImage), good);
    EXPECT_EQ(PreviewPixel(dialog, 10, 10), 0x00FF00u);
    // Cancelling the picture dialog changes nothing either.
    Click(dialog, kIdCmdPickImage);
    EXPECT_EQ(ReadFixedText(Config.BackgroundImage), good);
    EXPECT_EQ(Recorded().Messages.size(), 1u);
}

TEST_F(ConfigDialogTest, OverlongDefaultNameNeverOpensTheFileDialog) {
    EXPECT_EQ(ShowFileDialog(nullptr, true, "t", "*.bmp|*.bmp", std::string(261, 'x'), "", ""), "");
    EXPECT_TRUE(Recorded().FileDialogs.empty());
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Filename Length Overflow");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock - FileDialog Function");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONEXCLAMATION));
    // 260 characters still fit.
    Recorded().FileAnswers.push_back("C:\\x.bmp");
    EXPECT_EQ(ShowFileDialog(nullptr, true, "t", "*.bmp|*.bmp", std::string(260, 'x'), "", ""), "C:\\x.bmp");
}

}  // namespace

namespace {

// The window as it is on the screen, top-down 0x00RRGGBB; empty when it cannot be read.
std::vector<uint32_t> CaptureWindow(HWND hwnd, int& width, int& height) {
    RECT rc{};
    width = height = 0;
    if (!GetWindowRect(hwnd, &rc)) return {};
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        for (uint32_t& px : pixels) px &= 0xFFFFFF;
        SelectObject(memory, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Saves a capture as PNG next to the other screenshots when ORVO_SCREENSHOT_DIR names a folder.
void SaveCapture(const std::vector<uint32_t>& pixels, int width, int height, const std::string& name) {
    char dir[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("ORVO_SCREENSHOT_DIR", dir, sizeof dir) || pixels.empty()) return;
    Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels.data())));
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png") {
            const std::string path = std::string(dir) + "\\" + name;
            bitmap.Save(std::wstring(path.begin(), path.end()).c_str(), &encoders[i].Clsid, nullptr);
        }
    }
}

bool IsOrange(uint32_t rgb) {
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r > 200 && g > 100 && g < 220 && b < 110;
}

// What the user sees: for each tab the strip's orange mark sits on that tab and its pane shows.
TEST_F(ConfigDialogTest, EachTabOnScreen) {
    // A stand-in background picture, since this test program carries no built-in one: an
    // evening sky from deep blue to orange.
    std::vector<uint32_t> sky(320 * 240);
    for (int y = 0; y < 240; ++y) {
        const uint32_t r = 20 + 220 * y / 239, g = 40 + 100 * y / 239, b = 120 - 80 * y / 239;
        for (int x = 0; x < 320; ++x) sky[static_cast<size_t>(y) * 320 + x] = (r << 16) | (g << 8) | b;
    }
    const std::vector<uint8_t> skyFile = EncodeBitmapFile(sky, 320, 240);
    const std::string picture = folder_ + "sky.bmp";
    ASSERT_TRUE(WriteWholeFile(picture, std::string(skyFile.begin(), skyFile.end())));
    SetFixedText(Config.BackgroundImage, picture);
    Images.ReloadBackground(Config, TestSession().Model());
    HWND dialog = Open();
    HWND tab = FindControl(dialog, kIdTabStrip);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RECT window{}, tabOnScreen{};
    GetWindowRect(dialog, &window);
    GetWindowRect(tab, &tabOnScreen);
    const char* const names[] = {"config-reset.png", "config-general.png", "config-background.png",
                                 "config-advanced.png"};
    for (int pick = 0; pick < 4; ++pick) {
        SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(81 * pick + 40, 12));
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
        Sleep(200);   // the X server shows what was drawn
        int width = 0, height = 0;
        const std::vector<uint32_t> shot = CaptureWindow(dialog, width, height);
        ASSERT_FALSE(shot.empty());
        SaveCapture(shot, width, height, names[pick]);
        const int stripX = tabOnScreen.left - window.left + 81 * pick + 42;
        const int stripY = tabOnScreen.top - window.top + 2;
        EXPECT_TRUE(IsOrange(shot[static_cast<size_t>(stripY) * width + stripX]))
            << "tab " << pick << " pixel " << std::hex << shot[static_cast<size_t>(stripY) * width + stripX];
        const int otherX = tabOnScreen.left - window.left + 81 * ((pick + 1) % 4) + 42;
        EXPECT_FALSE(IsOrange(shot[static_cast<size_t>(stripY) * width + otherX])) << "tab " << pick;
    }
    // Back on tab 0 with the pointer resting on "Background...": the thinner hover mark.
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 12));
    SetCursorPos(tabOnScreen.left + 81 * 2 + 40, tabOnScreen.top + 12);
    SendMessageA(tab, WM_MOUSEMOVE, 0, MAKELPARAM(81 * 2 + 40, 12));
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    Sleep(200);
    int width = 0, height = 0;
    const std::vector<uint32_t> shot = CaptureWindow(dialog, width, height);
    ASSERT_FALSE(shot.empty());
    SaveCapture(shot, width, height, "config-hover.png");
    const int hoverX = tabOnScreen.left - window.left + 81 * 2 + 42;
    const int hoverY = tabOnScreen.top - window.top + 3;
    EXPECT_TRUE(IsOrange(shot[static_cast<size_t>(hoverY) * width + hoverX]));
}

}  // namespace
