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
        // Painted before it shows, so the monitor never flashes last lock's picture.
        cover.IniMonitor();
        ShowWindow(cover.Hwnd(), SW_SHOWNOACTIVATE);
        SetWindowPos(cover.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
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
