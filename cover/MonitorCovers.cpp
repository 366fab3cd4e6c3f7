// Monitor enumeration and the set of further-monitor covers: one MonitorCover per monitor other
// than the primary, so a third or fourth monitor is as hidden as the second.
#include "cover/MonitorCovers.h"

#include <memory>

#include "cover/MonitorCover.h"

MonitorList EnumMonitors() {
    MonitorList list;
    EnumDisplayMonitors(nullptr, nullptr, MonitorEnumProc, reinterpret_cast<LPARAM>(&list));
    return list;
}

BOOL CALLBACK MonitorEnumProc(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* list = reinterpret_cast<MonitorList*>(data);
    if (!list) return FALSE;
    if (list->Count >= 0 && list->Count < kMonitorTableSize) {
        MONITORINFO& info = list->Table[static_cast<std::size_t>(list->Count)];
        info = MONITORINFO{};
        info.cbSize = sizeof info;
        // A failed query leaves the record empty; an empty record gets no cover.
        if (!GetMonitorInfoA(monitor, &info)) info = MONITORINFO{};
    }
    ++list->Count;
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

// Hidden, the cover keeps no frame of the monitor's size.
void HideCover(MonitorCover& cover) {
    if (cover.Hwnd()) ShowWindow(cover.Hwnd(), SW_HIDE);
    cover.FreeFrame();
}

// Painted before it shows, so the monitor never flashes last lock's picture.
void PaintAndShow(MonitorCover& cover) {
    cover.PaintCover();
    ShowWindow(cover.Hwnd(), SW_SHOWNOACTIVATE);
    SetWindowPos(cover.Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

MonitorCovers::MonitorCovers(const ConfigData& config, const LockScreenModel& model, ImageTable& images,
                             ActivityNotes& notes, WindowDirectory& windows)
    : config_(config), model_(model), images_(images), notes_(notes), windows_(windows) {}

MonitorCovers::~MonitorCovers() = default;

void MonitorCovers::Create() { Prepare(EnumMonitors()); }

void MonitorCovers::Destroy() {
    covers_.clear();
    inUse_ = 0;
}

// Makes or moves the covers for these monitors; returns how many monitors need one.
std::size_t MonitorCovers::Prepare(const MonitorList& monitors) {
    const std::vector<RECT> rects = monitors.Count > 1 ? FurtherMonitorRects(monitors.Table.data(), monitors.Count)
                                                       : std::vector<RECT>{};
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    std::size_t ready = 0;
    for (const RECT& rect : rects) {
        if (ready == covers_.size()) {
            auto cover = std::make_unique<MonitorCover>(config_, model_, images_, notes_, windows_);
            if (!cover->Create(instance, rect)) continue;   // that monitor stays uncovered
            covers_.push_back(std::move(cover));
        } else {
            covers_[ready]->Place(rect);
        }
        ++ready;
    }
    return ready;
}

void MonitorCovers::Show(bool show) {
    if (!show) {
        for (auto& cover : covers_) HideCover(*cover);
        inUse_ = 0;
        return;
    }
    inUse_ = Prepare(EnumMonitors());
    for (std::size_t i = 0; i < covers_.size(); ++i) {
        MonitorCover& cover = *covers_[i];
        if (i >= inUse_) {
            HideCover(cover);
            continue;
        }
        PaintAndShow(cover);
    }
}

bool MonitorCovers::AnyMissing() const {
    for (std::size_t i = 0; i < inUse_ && i < covers_.size(); ++i)
        if (!covers_[i]->Hwnd() || !IsWindow(covers_[i]->Hwnd())) return true;
    return false;
}

// A cover destroyed from outside has forgotten its window at WM_DESTROY, but keeps its
// rectangle: it is made again in place. One that cannot be made is tried again next tick.
void MonitorCovers::RemakeMissing() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (std::size_t i = 0; i < inUse_ && i < covers_.size(); ++i) {
        MonitorCover& cover = *covers_[i];
        if (cover.Hwnd() && IsWindow(cover.Hwnd())) continue;
        cover.Forget();
        const RECT rect = cover.Rect();
        if (cover.Create(instance, rect)) PaintAndShow(cover);
    }
}

std::vector<HWND> MonitorCovers::Windows() const {
    std::vector<HWND> windows;
    for (std::size_t i = 0; i < inUse_ && i < covers_.size(); ++i)
        if (covers_[i]->Hwnd()) windows.push_back(covers_[i]->Hwnd());
    return windows;
}

namespace {

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

DisplayGeometry ReadDisplayGeometry() {
    DisplayGeometry geometry;
    geometry.width = GetSystemMetrics(SM_CXSCREEN);
    geometry.height = GetSystemMetrics(SM_CYSCREEN);
    EnumDisplayMonitors(nullptr, nullptr, AddMonitorRect, reinterpret_cast<LPARAM>(&geometry));
    return geometry;
}
