// What the cover's watchdog does about what it saw: which of the program's windows to make
// again, show, raise or give the focus, and when the screen's geometry counts as changed. Pure:
// no platform headers, unit-tested natively; the watchdog only observes and carries it out.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The screen and monitor rectangles (left, top, right, bottom) the windows are laid out for.
struct DisplayGeometry {
    int width = 0;
    int height = 0;
    std::vector<std::array<int, 4>> monitors;
    int dpi = 0;   // the primary monitor's; 0 when not read
    bool operator==(const DisplayGeometry&) const = default;
};

// One top-level window of the topmost band, top to bottom: one of ours that should show (rank
// 0 above rank 1), a visible window of another process, or anything else.
struct BandWindow {
    static constexpr int kForeign = -1;
    static constexpr int kIgnored = -2;
    int rank = kIgnored;
};

// True when each of our `ours` windows lies in the band, in rank order, with no window of
// another process above any of them.
bool IsOrderHeld(const std::vector<BandWindow>& band, int ours);

struct WatchdogView {
    bool coverMissing = false;       // a monitor's cover window is gone
    bool notShowing = false;         // one of ours that should show is hidden or minimized
    bool orderHeld = true;           // see IsOrderHeld
    bool misplaced = false;          // one of ours left its rectangle
    bool foregroundForeign = false;  // the foreground is another process's, or nobody's
};

struct WatchdogSteps {
    bool remakeCovers = false;
    bool show = false;
    bool raise = false;       // back on top, in order and in place, without activation
    bool takeFocus = false;
    bool Any() const { return remakeCovers || show || raise || takeFocus; }
};

WatchdogSteps DecideWatchdogSteps(const WatchdogView& view);

// The close, minimize, move and size system commands (wParam of WM_SYSCOMMAND) a cover refuses.
bool IsRefusedSystemCommand(uint64_t wParam);
