// The monitors of the virtual screen and the covers of every monitor but the primary one (the
// background cover takes the primary). The lock cycle shows and hides the covers, the
// background cover's watchdog keeps them on top.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "core/LockScreenModel.h"
#include "cover/WatchdogPolicy.h"
#include "ui/LockRoles.h"

struct ConfigData;
class ImageTable;
class MonitorCover;

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

// The covers of every further monitor: entry i covers the i-th rectangle of the last
// FurtherMonitorRects, and they are kept across locks.
class MonitorCovers {
public:
    // What each cover is given (see MonitorCover).
    MonitorCovers(const ConfigData& config, const LockScreenModel& model, ImageTable& images, ActivityNotes& notes,
                  WindowDirectory& windows);
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;
    ~MonitorCovers();

    // Start-up: enumerates and creates the covers, hidden, when there are several monitors.
    void Create();
    // true: enumerate, create missing covers, move covers whose monitor moved, paint and show
    // them; covers without a monitor any more are hidden. false: hide them all.
    void Show(bool show);
    // The cover windows in use (shown by the last lock), for the watchdog.
    std::vector<HWND> Windows() const;
    // True when a cover the last lock showed has lost its window (destroyed from outside).
    bool AnyMissing() const;
    // Makes the lost cover windows again over their monitors, painted and shown.
    void RemakeMissing();
    // Exit: closes every cover window.
    void Destroy();

private:
    std::size_t Prepare(const MonitorList& monitors);

    const ConfigData& config_;
    const LockScreenModel& model_;
    ImageTable& images_;
    ActivityNotes& notes_;
    WindowDirectory& windows_;
    std::vector<std::unique_ptr<MonitorCover>> covers_;
    std::size_t inUse_ = 0;   // how many of covers_ the last lock showed
};

// The primary screen's size and every monitor's rectangle as the system reports them now.
DisplayGeometry ReadDisplayGeometry();
