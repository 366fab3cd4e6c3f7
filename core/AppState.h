// Process-wide values and the lock state shared by every window of the lock program. One
// instance of each lives in AppState.cpp; the lock state is the lock session's (core/LockState.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/ConfigData.h"

class FrmTray;

// The settings record; windows read it, the configuration dialog, the pattern canvas and the
// alert-mode repair write it.
extern ConfigData Config;

// Start-up values.
extern std::string AppPath;          // executable folder, ending in '\'
extern std::string AppExeName;       // executable name without ".exe"
extern std::string ConfigFilePath;
extern std::string AlarmFilePath;
extern bool IsFirstRun;
extern int32_t ConfigLoadResult;

// The registered "OrvoPCLockTrayIcon" message; 0 until the tray owner window exists.
extern uint32_t TrayIconMessage;
