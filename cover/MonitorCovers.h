// The monitors of the virtual screen and the covers of every monitor but the primary one (the
// background cover takes the primary). The lock cycle shows and hides the covers, the
// background cover's watchdog keeps them on top.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

#include "cover/WatchdogPolicy.h"

constexpr int kMonitorTableSize = 16;

// The monitors of the virtual screen as one enumeration found them.
struct MonitorList {
    // Filled in enumeration order; only the first 16 monitors get a record.
    std::array<MONITORINFO, kMonitorTableSize> Table{};
    // Monitors reported, also those beyond the table.
    int Count = 0;
};

// The monitors now.
MonitorList EnumMonitors();
// The enumeration callback; data is the MonitorList being filled. Records the monitor while
// there is room, counts it in any case.
BOOL CALLBACK MonitorEnumProc(HMONITOR monitor, HDC dc, LPRECT rect, LPARAM data);

// The rectangles to cover, in table order: every recorded monitor that is not the primary one
// and has an area.
std::vector<RECT> FurtherMonitorRects(const MONITORINFO* table, int count);

// Start-up: enumerates and creates the covers, hidden, when there are several monitors.
void CreateMonitorCovers();
// true: enumerate, create missing covers, move covers whose monitor moved, paint and show
// them; covers without a monitor any more are hidden. false: hide them all.
void ShowMonitorCovers(bool show);
// The cover windows in use (shown by the last lock), for the watchdog.
std::vector<HWND> MonitorCoverWindows();
// True when a cover the last lock showed has lost its window (destroyed from outside).
bool AnyCoverMissing();
// Makes the lost cover windows again over their monitors, painted and shown.
void RemakeMissingCovers();
// The primary screen's size and every monitor's rectangle as the system reports them now.
DisplayGeometry ReadDisplayGeometry();
// Exit: closes every cover window.
void DestroyMonitorCovers();
