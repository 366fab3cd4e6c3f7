// The start-up steps of the lock program (instance checks, GDI+, paths, installation values,
// screen data, the hidden windows, the first-run flow), the message loop and ExitApplication.
// The order in which they run is in Main.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/ProgramFiles.h"
#include "system/StartupText.h"
#include "system/VersionInfo.h"

struct ConfigData;
class GdiPlusSession;
class LockControl;
class LockSession;
class WindowDirectory;

// True when another process of this executable holds the instance mutex. The first
// process keeps the mutex until it ends.
bool IsPreviousInstanceRunning();
// True when the tray owner window of a running copy exists.
bool CheckPrevInstance();
// A second start with "/Lock": asks the running copy's tray owner window to lock.
void AskRunningCopyToLock();
// The extended combo box the configuration dialog uses.
void LoadCommonControls();
// False after telling the user that GDI+ could not start.
bool CheckGDIPlus(const GdiPlusSession& gdiplus);

// The program's places; the data folders are made when missing.
std::string GetSpecialFolder(int csidl);
ProgramFiles FindProgramFiles();

// APP_PATH, APP_BUILD and APP_VER under the program's key; false when a write failed.
bool SaveAppInfo(const ProgramFiles& files);

// Writes a resource of type "CUSTOM" to a file; false when either part failed.
bool SaveResourceFile(const std::string& path, const std::string& resourceName);

// The session's lock screen laid out for the settings and the primary screen.
void FitScreenData(LockSession& session);
// The hidden windows and the artwork, in this order: the policies and shell an abnormal end
// left behind given back, the further-monitor covers, the primary cover, the message window
// with the hot keys, the lock window, the images (the background picture made aside).
void StartHiddenWindows(LockSession& session);
// A tray balloon naming the hot keys that could not be registered; nothing when all work.
void ReportFailedHotKeys(LockSession& session);
// Runs the window messages that are already waiting, then returns.
void PumpPendingMessages();
// What the first-run check and the read of the settings file found.
struct ConfigFileCheck {
    bool IsFirstRun = false;
    bool Loaded = true;       // the file was read and accepted
    bool Unreadable = false;  // a file was there but unreadable or rejected: said before the rest
};
// Without a word: the first-run check, then the file read into `config`.
ConfigFileCheck CheckConfigFile(ConfigData& config, const std::string& configPath, bool accountWasKnown);

// The modal configuration dialog that the defaults are shown in; empty: the dialog itself, run
// modally for the session (it saves the record when it closes). SaveDefaultsWithoutDialog saves
// the record without a window, so a fresh start leaves a valid file.
using ConfigDialogFunction = std::function<void()>;
void SaveDefaultsWithoutDialog(ConfigData& config);

// Defaults, the user's message, then the modal configuration dialog.
void StartWithDefaults(LockSession& session, bool isBroken, const ConfigDialogFunction& showDialog = {});
// The first-run or broken-file defaults with their message and dialog; the first run counts as
// done afterwards. It is PrepareConfigDefaults and then TellConfigDefaults, which a start that
// locks at once splits around its lock: the defaults before it (the lock opens with them), the
// messages and the dialog once the lock has ended (ConfigNoticeAfterUnlock).
void HandleFirstRunOrBrokenConfig(LockSession& session, ConfigFileCheck& check,
                                  const ConfigDialogFunction& showDialog = {});
void PrepareConfigDefaults(LockSession& session, const ConfigFileCheck& check);
void TellConfigDefaults(LockSession& session, ConfigFileCheck& check, const ConfigDialogFunction& showDialog = {});
// What RunMessageLoop says at its first turn with nothing locked; nothing when there is nothing
// to say.
std::optional<ConfigFileCheck> ConfigNoticeAfterUnlock(const ConfigFileCheck& check);

// The account's Run value made to follow the start-up lock policy, when one is set.
void ApplyStartupLockPolicy();
// Once for each set of names, in a tray balloon: the policy values that were out of range and
// so ignored. Nothing while locked: the notice waits for a refresh after the unlock.
void ReportIgnoredPolicies(const LockControl& lock, WindowDirectory& windows);
// The policies read again (every minute; each lock reads them too), unless the configuration
// dialog is open: the record is then left as the dialog shows it.
void RefreshPolicies(ConfigData& config, const LockControl& lock, WindowDirectory& windows);

// Runs until WM_QUIT; returns its exit code. A quit that comes while locked is kept until the
// unlock; `pendingNotice` is said once nothing is locked.
int RunMessageLoop(LockSession& session, std::optional<ConfigFileCheck> pendingNotice);
// Undoes the start-up (windows, shell, policies, images) and ends the message loop; nothing
// while locked.
void ExitApplication(LockSession& session);
