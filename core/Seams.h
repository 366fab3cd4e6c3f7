// Calls the lock cycle makes into parts of the program that live elsewhere: the tray icon, the
// verify dialog and the further-monitor cover. Until a part is built, its entry here has a
// default in core/Seams.cpp that does nothing; the part's own file replaces the default (delete
// the default when adding the real one).
#pragma once

#include <windows.h>

#include <vector>

#include "cover/MonitorCovers.h"    // ShowMonitorCovers, MonitorCoverWindows
#include "system/KeyboardLock.h"    // HookKeyboard
#include "system/PowerActions.h"    // HangUpConnections

// Tray: removes and re-adds the tray icon with its menu and tooltip.
void RebuildTrayIcon();

// Verify dialog: shows it without waiting; a right pattern opens the configuration dialog.
void ShowVerifyDialog();
