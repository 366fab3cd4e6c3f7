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
void IniCommonControls();
// Step 4: false after telling the user that GDI+ could not start.
bool CheckGDIPlus(const GdiPlusSession& gdiplus);

// Step 5: the program's places; the data folders are made when missing.
std::string GetSpecialFolder(int csidl);
ProgramFiles IniPaths();

// Step 7.
int32_t SaveAppInfo(const ProgramFiles& files);

// Step 10: writes a resource of type "CUSTOM" to a file; false when either part failed.
bool SaveResourceFile(const std::string& path, const std::string& resourceName);

// Step 13.
void IniScreenData();
// Step 20: runs the window messages that are already waiting, then returns.
void PumpPendingMessages();
// What steps 11-12 found of the settings file.
struct ConfigFileCheck {
    bool IsFirstRun = false;
    int32_t LoadResult = 0;   // LoadConfigData's result
};

// The modal configuration dialog that the defaults are shown in: by default the dialog itself,
// run modally (it saves the record when it closes). SaveDefaultsWithoutDialog saves the record
// without a window, so a fresh start leaves a valid file.
using ConfigDialogFunction = void (*)();
void RunConfigDialogModally();
void SaveDefaultsWithoutDialog();

// Defaults, the user's message, then the modal configuration dialog.
void IniDefaultConfig(bool isBroken, ConfigDialogFunction showDialog = RunConfigDialogModally);
// Step 21: the first-run or broken-file defaults with their message and dialog; the first run
// counts as done afterwards.
void HandleFirstRunOrBrokenConfig(ConfigFileCheck& check, ConfigDialogFunction showDialog = RunConfigDialogModally);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Undoes the start-up (windows, shell, policies, images) and ends the message loop.
void ExitApplication();
