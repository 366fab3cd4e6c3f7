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

// What the watchdog sees of a visible topmost window of another process.
struct OtherWindowLook {
    bool cloaked = false;    // the platform hides it itself (another virtual desktop, a suspended app)
    uint32_t exStyle = 0;    // its extended window style bits
    int width = 0;
    int height = 0;
};

// True when such a window keeps anything from the user: not one the platform hides, not one
// that lets every click through (transparent and layered), not one of no size.
bool IsIntruder(const OtherWindowLook& look);

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

// Whether one of the platform's own stretches in which the foreground is not the program's has
// lasted long enough to hand over to the platform's lock, once per stretch.
class ForegroundEpisode {
public:
    static constexpr uint32_t kGraceMs = 1000;
    // One look at the foreground at tick (milliseconds, wrapping); true when the platform's
    // lock is due now.
    bool LockDue(bool foregroundOurs, uint32_t tick);

private:
    bool away_ = false;
    bool handedOver_ = false;
    uint32_t since_ = 0;
};

// The close, minimize, move and size system commands (wParam of WM_SYSCOMMAND) a cover refuses.
bool IsRefusedSystemCommand(uint64_t wParam);
