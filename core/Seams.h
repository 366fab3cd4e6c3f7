// Calls the lock cycle makes into parts of the program that live elsewhere: the verify dialog
// (lockscreen/FrmVerify.cpp) and the further-monitor covers. Declared here so that core depends
// on the calls, not on those windows' classes.
#pragma once

#include <windows.h>

#include <vector>

#include "cover/MonitorCovers.h"    // ShowMonitorCovers, MonitorCoverWindows
#include "system/KeyboardLock.h"    // HookKeyboard
#include "system/PowerActions.h"    // HangUpConnections

// Verify dialog: shows it without waiting; a right pattern opens the configuration dialog.
void ShowVerifyDialog();
