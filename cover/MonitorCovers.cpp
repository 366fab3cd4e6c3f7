// Monitor enumeration and the set of further-monitor covers: one FrmMonitor per monitor other
// than the primary, so a third or fourth monitor is as hidden as the second.
#include "cover/MonitorCovers.h"

#include <memory>

#include "cover/FrmMonitor.h"

std::array<MONITORINFO, kMonitorTableSize> MonitorTable{};
int MonitorCount = 0;

namespace {
// Entry i covers the i-th rectangle of the last FurtherMonitorRects; kept across locks.
std::vector<std::unique_ptr<FrmMonitor>> Covers;
// How many of Covers the last lock showed.
std::size_t CoversInUse = 0;
}  // namespace

void EnumMonitors() {
    MonitorCount = 0;
    MonitorTable = {};
    EnumDisplayMonitors(nullptr, nullptr, MonitorEnumProc, 0);
}

BOOL CALLBACK MonitorEnumProc(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    if (MonitorCount >= 0 && MonitorCount < kMonitorTableSize) {
        MONITORINFO& info = MonitorTable[static_cast<std::size_t>(MonitorCount)];
        info = MONITORINFO{};
        info.cbSize = sizeof info;
        // A failed query leaves the record empty; an empty record gets no cover.
        if (!GetMonitorInfoA(monitor, &info)) info = MONITORINFO{};
    }
    ++MonitorCount;
    return TRUE;
}

// The platform does not promise to enumerate the primary monitor first, so it is recognised by
// its flag, not by its place in the table.
std::vector<RECT> FurtherMonitorRects(const MONITORINFO* table, int count) {
    std::vector<RECT> rects;
    if (!table) return rects;
    const int filled = count < kMonitorTableSize ? count : kMonitorTableSize;
    for (int i = 0; i < filled; ++i) {
        const MONITORINFO& info = table[i];
        if (info.dwFlags & MONITORINFOF_PRIMARY) continue;
        if (IsRectEmpty(&info.rcMonitor)) continue;
        rects.push_back(info.rcMonitor);
    }
    return rects;
}

namespace {

// Makes or moves the covers for the current table; returns how many monitors need one.
std::size_t PrepareCovers() {
    const std::vector<RECT> rects = MonitorCount > 1 ? FurtherMonitorRects(MonitorTable.data(), MonitorCount)
                                                     : std::vector<RECT>{};
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    std::size_t ready = 0;
    for (const RECT& rect : rects) {
        if (ready == Covers.size()) {
            auto cover = std::make_unique<FrmMonitor>();
            if (!cover->Create(instance, rect)) continue;   // that monitor stays uncovered
            Covers.push_back(std::move(cover));
        } else {
            Covers[ready]->Place(rect);
        }
        ++ready;
    }
    return ready;
}

void HideCover(FrmMonitor& cover) {
    if (cover.Hwnd()) ShowWindow(cover.Hwnd(), SW_HIDE);
}

// Painted before it shows, so the monitor never flashes last lock's picture.
void PaintAndShow(FrmMonitor& cover) {
    cover.IniMonitor();
    ShowWindow(cover.Hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(cover.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

BOOL CALLBACK AddMonitorRect(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* geometry = reinterpret_cast<DisplayGeometry*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    // A monitor that cannot be asked counts as an empty rectangle: it still tells a change.
    if (!GetMonitorInfoA(monitor, &info)) info.rcMonitor = RECT{};
    const RECT& rc = info.rcMonitor;
    // Bounded like the table: a broken enumeration must not grow the list without end.
    if (geometry->monitors.size() < 64) geometry->monitors.push_back({rc.left, rc.top, rc.right, rc.bottom});
    return TRUE;
}

}  // namespace

void CreateMonitorCovers() {
    EnumMonitors();
    PrepareCovers();
}

void ShowMonitorCovers(bool show) {
    if (!show) {
        for (auto& cover : Covers) HideCover(*cover);
        CoversInUse = 0;
        return;
    }
    EnumMonitors();
    CoversInUse = PrepareCovers();
    for (std::size_t i = 0; i < Covers.size(); ++i) {
        FrmMonitor& cover = *Covers[i];
        if (i >= CoversInUse) {
            HideCover(cover);
            continue;
        }
        PaintAndShow(cover);
    }
}

bool AnyCoverMissing() {
    for (std::size_t i = 0; i < CoversInUse && i < Covers.size(); ++i)
        if (!Covers[i]->Hwnd() || !IsWindow(Covers[i]->Hwnd())) return true;
    return false;
}

// A cover destroyed from outside has run its Form_Unload and forgotten its window, but keeps its
// rectangle: it is made again in place. One that cannot be made is tried again next tick.
void RemakeMissingCovers() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (std::size_t i = 0; i < CoversInUse && i < Covers.size(); ++i) {
        FrmMonitor& cover = *Covers[i];
        if (cover.Hwnd() && IsWindow(cover.Hwnd())) continue;
        cover.Forget();
        const RECT rect = cover.Rect();
        if (cover.Create(instance, rect)) PaintAndShow(cover);
    }
}

DisplayGeometry ReadDisplayGeometry() {
    DisplayGeometry geometry;
    geometry.width = GetSystemMetrics(SM_CXSCREEN);
    geometry.height = GetSystemMetrics(SM_CYSCREEN);
    EnumDisplayMonitors(nullptr, nullptr, AddMonitorRect, reinterpret_cast<LPARAM>(&geometry));
    return geometry;
}

std::vector<HWND> MonitorCoverWindows() {
    std::vector<HWND> windows;
    for (std::size_t i = 0; i < CoversInUse && i < Covers.size(); ++i)
        if (Covers[i]->Hwnd()) windows.push_back(Covers[i]->Hwnd());
    return windows;
}

void DestroyMonitorCovers() {
    Covers.clear();
    CoversInUse = 0;
}
