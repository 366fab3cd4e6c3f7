// Calls the lock cycle makes into parts of the program that live elsewhere: the tray icon, the
// verify dialog, the further-monitor cover, the keyboard hook and the dial-up hang-up. Until a
// part is built, its entry here has a default in core/Seams.cpp that does nothing; the part's
// own file replaces the default (delete the default when adding the real one).
#pragma once

#include <windows.h>

#include <vector>

#include "system/KeyboardLock.h"    // HookKeyboard
#include "system/PowerActions.h"    // HangUpConnections

// Tray: removes and re-adds the tray icon with its menu and tooltip.
void RebuildTrayIcon();

// Verify dialog: shows it without waiting; a right pattern opens the configuration dialog.
void ShowVerifyDialog();

// Further monitors. With true: EnumMonitors, and when MonitorCount > 1 show FrmMonitor topmost
// and IniMonitor. With false: hide FrmMonitor when MonitorCount > 1.
void ShowMonitorCovers(bool show);
// The further-monitor cover windows the watchdog keeps on top (empty on one monitor).
std::vector<HWND> MonitorCoverWindows();
