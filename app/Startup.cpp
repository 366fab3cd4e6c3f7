// Core start-up steps, the message loop and the exit path of the lock program.
#include "app/Startup.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "app/FailClosed.h"
#include "app/Guardian.h"
#include "app/HotKeys.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "configui/ConfigDialog.h"
#include "core/ConfigFile.h"
#include "core/FirstRun.h"
#include "core/PolicyRegistry.h"
#include "cover/MonitorCovers.h"
#include "cover/PrimaryCover.h"
#include "lockscreen/VerifyDialog.h"
#include "system/LockedSettings.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/Text.h"
#include "system/VersionInfo.h"
#include "system/WinHandles.h"
#include "tray/TrayWindow.h"
#include "ui/GdiPlusHandles.h"
#include "ui/ImageTable.h"

namespace {

// Held for the life of the process: its existence is what tells a second start that this
// executable is already running.
UniqueHandle InstanceMutex;

constexpr const char kAppDataSubFolder[] = "OrvoSoft\\";
constexpr const char kAppSubFolder[] = "Orvo PC Lock\\";
constexpr const char kAlarmFileName[] = "alarm.wav";

void CreateFolderIfMissing(const std::string& folder) {
    // A folder that cannot be created is not reported here: the first save reports it.
    if (!FileExists(folder)) CreateDirectoryA(folder.c_str(), nullptr);
}

}  // namespace

bool IsPreviousInstanceRunning() {
    const std::string name = InstanceMutexName(ExecutablePath());
    SetLastError(ERROR_SUCCESS);
    InstanceMutex.reset(CreateMutexA(nullptr, FALSE, name.c_str()));
    // Read right after the call: the call succeeds for an existing mutex too and says so only
    // here.
    const bool exists = GetLastError() == ERROR_ALREADY_EXISTS;
    // A mutex that cannot be made at all is no evidence of another copy; the window search still looks.
    return InstanceMutex && exists;
}

bool CheckPrevInstance() {
    // The class of the tray owner belongs to the tray module; the title alone identifies it.
    return FindWindowA(nullptr, kTrayWindowTitle) != nullptr;
}

void AskRunningCopyToLock() {
    HWND tray = FindWindowA(nullptr, kTrayWindowTitle);
    // A copy still in its first-run dialog has no tray window yet and would not lock anyway.
    if (!tray) return;
    // Started from the shortcut key, this process may take the foreground; the lock window of
    // the running copy needs it, so the right is handed on.
    DWORD process = 0;
    if (GetWindowThreadProcessId(tray, &process) && process != 0) AllowSetForegroundWindow(process);
    PostMessageA(tray, RegisterWindowMessageA(kLockRequestMessageName), 0, 0);
}

void LoadCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_USEREX_CLASSES;
    // The extended combo box is registered or it is not; nothing later depends on the result.
    InitCommonControlsEx(&controls);
}

bool CheckGDIPlus(const GdiPlusSession& gdiplus) {
    if (gdiplus.IsStarted()) return true;
    ShowMessage("Load GDI+ Error!", "Orvo PC Lock Error", MB_ICONSTOP);
    return false;
}

std::string GetSpecialFolder(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return {};
    char path[512] = {};  // SHGetPathFromIDListA writes up to MAX_PATH characters
    const BOOL found = SHGetPathFromIDListA(pidl, path);
    CoTaskMemFree(pidl);
    if (!found) return {};
    return WithTrailingBackslash(std::string(path, strnlen(path, sizeof path)));
}

ProgramFiles FindProgramFiles() {
    const ExeLocation exe = SplitExePath(ExecutablePath());
    ProgramFiles files;
    files.AppPath = WithTrailingBackslash(exe.Folder);
    files.AppExeName = exe.Name;
    // Without an application-data folder the paths stay relative, as the original layout
    // would have them; the loader then finds no file and the save reports any failure.
    const std::string vendorFolder = GetSpecialFolder(CSIDL_APPDATA) + kAppDataSubFolder;
    CreateFolderIfMissing(vendorFolder);
    const std::string dataFolder = vendorFolder + kAppSubFolder;
    CreateFolderIfMissing(dataFolder);
    files.ConfigFilePath = dataFolder + kConfigFileName;
    files.AlarmFilePath = dataFolder + kAlarmFileName;
    return files;
}

bool SaveAppInfo(const ProgramFiles& files) {
    const AppVersion version = ReadAppVersion();
    const std::string exe = files.AppPath + files.AppExeName + ".exe";
    return WriteRegistryValue(kAppSystemKey, "APP_PATH", exe, kRegSz) &&
           WriteRegistryValue(kAppSystemKey, "APP_BUILD", AppBuildText(version), kRegSz) &&
           WriteRegistryValue(kAppSystemKey, "APP_VER", AppVersionText(version), kRegSz);
}

bool SaveResourceFile(const std::string& path, const std::string& resourceName) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, resourceName.c_str(), "CUSTOM");
    if (!found) return false;
    const HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return false;
    const auto* first = static_cast<const uint8_t*>(bytes);
    // Replaced as a whole: writing over a longer old file in place would leave its tail behind
    // the new sound.
    return ReplaceFileContents(path, std::vector<uint8_t>(first, first + size));
}

void FitScreenData(LockSession& session) {
    const ConfigData& config = session.Config();
    LockScreenModel& model = session.Model();
    model.AlertText = ReadFixedText(config.AlertWord);
    session.SetUnlockMode(config.UnlockMode);
    // The centred alarm picture is entry 42 of the layout table, computed with the grid.
    model.Fit(config.Grid, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), ReadScreenDpi());
}

void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the main loop, which must end on it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A process that ended while locked (killed, crashed, power lost) left the policies set, the
// accessibility hot keys off and, with a picture background, the taskbar and the desktop icons
// hidden. The policies and hot keys go back to what that lock remembered; without a record no
// lock of ours changed them and nothing is written, so an administrator's own values stay. The
// lock itself comes back later in the start-up.
void StartHiddenWindows(LockSession& session) {
    RestorePoliciesIfRemembered();
    RestoreAccessHotKeys(session.Settings());
    ShowShell();
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    session.FurtherCovers().Create();
    session.CreateCover(instance);
    session.CreateMessageWindow();
    session.CreateLockWindow(instance);
    // The background picture is made aside: the tray is up while it is decoded and fitted.
    session.LoadImages(nullptr, BackgroundLoad::Aside);
}

void ReportFailedHotKeys(LockSession& session) {
    const MessageWindow* window = session.MessageWindowObject();
    const std::string text = window ? FailedHotKeysText(window->FailedHotKeys()) : std::string();
    // Without a shell to show it the balloon is lost; the hot keys fail silently as before.
    if (!text.empty()) session.ShowTrayBalloon(kAppTitle, text);
}

void SaveDefaultsWithoutDialog(ConfigData& config) {
    // Failure is reported by SaveConfigData itself.
    SaveConfigData(config, TheProgramFiles().ConfigFilePath);
}

namespace {

// The defaults a first run or a lost file starts with, put in place without a word: a lock at
// start-up opens with them until the user has been told and has drawn a pattern of their own.
void PutDefaultsInPlace(LockSession& session, bool isBroken) {
    ConfigData& config = session.Config();
    ApplyDefaultConfig(config);
    const ProgramFiles& files = TheProgramFiles();
    // The setup's choice for the machine becomes the new account's own: its per-user Run value,
    // which the configuration dialog shows and can switch off without administrator rights.
    if (!isBroken && MachineChoiceIsOn(TrimNull(RegistryValueText(
                         ReadRegistryValue(kAppMachineKey, kMachineStartupLockValue)))))
        SetStartupLock(true, files.AppPath, files.AppExeName);
    // A default of "Off" would show the wrong choice and, once saved, disagree with a Run value
    // that stays.
    if (IsStartupLockOn(files.AppPath, files.AppExeName)) config.AutoStartLock = -1;
    // The defaults replaced what the policies had set as well.
    ApplyPolicySettings(config);
    SetDefaultPattern(config);
    // A rejected file may have named a larger grid, and the start-up laid the lock window and
    // the pattern boxes out for it; the default pattern is for 3 x 3, so the layout and the
    // panel follow before anything shows the grid.
    if (session.Model().Layout.GridSide != GridSideOf(config.Grid)) session.FitGrid();
}

void TellAboutDefaults(LockSession& session, bool isBroken, const ConfigDialogFunction& showDialog) {
    const std::string first = isBroken ? "Orvo PC Lock configuration file is lost or broken."
                                       : "You are first running Orvo PC Lock.";
    ShowMessage(first + "\r\nFor computer security, Please reset your lock pattern.", kAppTitle,
                MB_ICONEXCLAMATION);
    if (showDialog) showDialog();
    else session.RunConfigDialogModally();
}

bool NeedsDefaults(const ConfigFileCheck& check) { return check.IsFirstRun || !check.Loaded; }

// What a start that locked first still has to say, said once the lock has ended.
void TellPendingConfigNotice(LockSession& session, ConfigFileCheck check) {
    // As at start-up: no lock may hide the message or the dialog.
    session.HoldLocks(true);
    TellConfigDefaults(session, check);
    session.HoldLocks(false);
}

}  // namespace

ConfigFileCheck CheckConfigFile(ConfigData& config, const std::string& configPath, bool accountWasKnown) {
    ConfigFileCheck check;
    check.IsFirstRun = CheckFirstRun(configPath, accountWasKnown);
    const ConfigRead read = ReadConfigData(config, configPath);
    check.Loaded = read == ConfigRead::Loaded;
    check.Unreadable = read == ConfigRead::Unreadable;
    return check;
}

void StartWithDefaults(LockSession& session, bool isBroken, const ConfigDialogFunction& showDialog) {
    PutDefaultsInPlace(session, isBroken);
    TellAboutDefaults(session, isBroken, showDialog);
}

void PrepareConfigDefaults(LockSession& session, const ConfigFileCheck& check) {
    if (NeedsDefaults(check)) PutDefaultsInPlace(session, !check.IsFirstRun);
}

void TellConfigDefaults(LockSession& session, ConfigFileCheck& check, const ConfigDialogFunction& showDialog) {
    if (check.Unreadable) TellConfigReadFailed();
    if (NeedsDefaults(check)) TellAboutDefaults(session, !check.IsFirstRun, showDialog);
    check = ConfigFileCheck{};
}

std::optional<ConfigFileCheck> ConfigNoticeAfterUnlock(const ConfigFileCheck& check) {
    if (check.Unreadable || NeedsDefaults(check)) return check;
    return std::nullopt;
}

void ApplyStartupLockPolicy() {
    const std::optional<bool> startupLock = ThePolicyOverlay().StartupLock();
    if (!startupLock) return;
    // The account's Run value follows, so that the next logon does what the policy says.
    const ProgramFiles& files = TheProgramFiles();
    SetStartupLock(*startupLock, files.AppPath, files.AppExeName);
}

void ReportIgnoredPolicies(const LockControl& lock, WindowDirectory& windows) {
    // A balloon under the lock screen is seen by nobody: it waits for the next look after the unlock.
    if (lock.State().IsLocked()) return;
    const std::string text = ThePolicyOverlay().IgnoredNoticeOnce();
    if (!text.empty()) windows.ShowTrayBalloon(kAppTitle, text);
}

// An administrator's change reaches a running program within a minute, and a lock at once.
void RefreshPolicies(ConfigData& config, const LockControl& lock, WindowDirectory& windows) {
    if (windows.IsConfigDialogOpen()) return;
    RefreshPolicySettings(config);
    ApplyStartupLockPolicy();
    ReportIgnoredPolicies(lock, windows);
}

void HandleFirstRunOrBrokenConfig(LockSession& session, ConfigFileCheck& check,
                                  const ConfigDialogFunction& showDialog) {
    PrepareConfigDefaults(session, check);
    TellConfigDefaults(session, check, showDialog);
}

int RunMessageLoop(LockSession& session, std::optional<ConfigFileCheck> pendingNotice) {
    MSG msg{};
    // A quit request that came while locked, kept until the unlock: only the pattern opens the
    // screen.
    std::optional<int> keptQuit;
    for (;;) {
        const LockState& state = session.State();
        if (keptQuit && !state.IsLocked()) return *keptQuit;
        // The unlock ran inside the last message's handler; what the start kept back comes now.
        if (pendingNotice && !state.IsLocked() && !state.IsBusy()) {
            const ConfigFileCheck check = *pendingNotice;
            pendingNotice.reset();
            TellPendingConfigNotice(session, check);
        }
        const BOOL result = GetMessageA(&msg, nullptr, 0, 0);
        if (result == 0) {
            keptQuit = static_cast<int>(msg.wParam);
            continue;
        }
        if (result == -1) return 1;  // only for an invalid window handle, which we never pass
        if (session.IsDialogKeyMessage(&msg)) continue;   // Tab and arrow keys of the modeless dialogs
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ExitApplication(LockSession& session) {
    static bool exiting = false;
    // The windows closed below may call back here (a closing tray window, a second menu
    // click); the first call does all of it.
    if (exiting) return;
    // Only the pattern ends a lock.
    if (session.State().IsLocked()) return;
    exiting = true;
    // The guardian is not started again; it ends by itself once this process has ended unlocked.
    StopGuardianWatch();
    session.CloseSessionEndWindow();
    session.CloseMessageWindow();   // the hot keys and their atoms
    HideShell(false, IsTransparentBackground(session.Config()));
    // Exit is refused while locked, so the unlock has given the values back already; a record
    // left anyway (a lock that could not finish) is given back, and without one nothing is
    // written.
    RestorePoliciesIfRemembered();
    RestoreAccessHotKeys(session.Settings());
    session.Images().FreeAll();
    session.ReleaseEffectStrips();
    // The windows, in this order: about, verify, configuration, further-monitor covers, lock
    // window, primary cover, tray owner.
    if (TrayWindow* tray = session.TrayObject()) tray->CloseAboutWindow();
    session.CloseVerifyDialog();
    session.CloseConfigDialog();   // saves the configuration on its way out
    session.FurtherCovers().Destroy();
    session.CloseLockWindow();
    session.CloseCover();
    session.CloseTray();   // takes the icon out of the notification area
    // GDI+ itself ends when WinMain returns, after the loop this ends.
    PostQuitMessage(0);
}
