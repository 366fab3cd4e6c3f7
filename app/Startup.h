// The start-up steps of the lock program that belong to the core (instance checks, GDI+,
// paths, installation values, screen data), the message loop and ExitApplication. The order
// in which they run is in Main.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "core/ProgramFiles.h"
#include "system/StartupText.h"
#include "system/VersionInfo.h"

class GdiPlusSession;

// Step 1: true when another process of this executable holds the instance mutex. The first
// process keeps the mutex until it ends.
bool IsPreviousInstanceRunning();
// Step 2: true when the tray owner window of a running copy exists.
bool CheckPrevInstance();
// A second start with "/Lock": asks the running copy's tray owner window to lock.
void AskRunningCopyToLock();
// Step 3.
void LoadCommonControls();
// Step 4: false after telling the user that GDI+ could not start.
bool CheckGDIPlus(const GdiPlusSession& gdiplus);

// Step 5: the program's places; the data folders are made when missing.
std::string GetSpecialFolder(int csidl);
ProgramFiles FindProgramFiles();

// APP_PATH, APP_BUILD and APP_VER under the program's key; false when a write failed.
bool SaveAppInfo(const ProgramFiles& files);

// Step 10: writes a resource of type "CUSTOM" to a file; false when either part failed.
bool SaveResourceFile(const std::string& path, const std::string& resourceName);

// Step 13.
void FitScreenData();
// Step 20: runs the window messages that are already waiting, then returns.
void PumpPendingMessages();
// What steps 11-12 found of the settings file.
struct ConfigFileCheck {
    bool IsFirstRun = false;
    int32_t LoadResult = 0;   // LoadConfigData's result
    bool Unreadable = false;  // a file was there but unreadable or rejected: said before the rest
};
// Steps 11-12 without a word: the first-run check, then the file read into Config.
ConfigFileCheck CheckConfigFile(const std::string& configPath, bool accountWasKnown);

// The modal configuration dialog that the defaults are shown in: by default the dialog itself,
// run modally (it saves the record when it closes). SaveDefaultsWithoutDialog saves the record
// without a window, so a fresh start leaves a valid file.
using ConfigDialogFunction = void (*)();
void RunConfigDialogModally();
void SaveDefaultsWithoutDialog();

// Defaults, the user's message, then the modal configuration dialog.
void StartWithDefaults(bool isBroken, ConfigDialogFunction showDialog = RunConfigDialogModally);
// Step 21: the first-run or broken-file defaults with their message and dialog; the first run
// counts as done afterwards. It is PrepareConfigDefaults and then TellConfigDefaults, which a
// start that locks at once splits around its lock: the defaults before it (the lock opens with
// them), the messages and the dialog once the lock has ended (TellConfigDefaultsAfterUnlock).
void HandleFirstRunOrBrokenConfig(ConfigFileCheck& check, ConfigDialogFunction showDialog = RunConfigDialogModally);
void PrepareConfigDefaults(const ConfigFileCheck& check);
void TellConfigDefaults(ConfigFileCheck& check, ConfigDialogFunction showDialog = RunConfigDialogModally);
// Kept for RunMessageLoop, which says it at its first turn with nothing locked.
void TellConfigDefaultsAfterUnlock(const ConfigFileCheck& check);

// The account's Run value made to follow the start-up lock policy, when one is set.
void ApplyStartupLockPolicy();
// Once for each set of names, in a tray balloon: the policy values that were out of range and
// so ignored. Nothing while locked: the notice waits for a refresh after the unlock.
void ReportIgnoredPolicies();
// Reads the policies again every minute (each lock reads them too).
void StartPolicyRefresh();

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Undoes the start-up (windows, shell, policies, images) and ends the message loop.
void ExitApplication();
