// The watchdog's decisions. Every step is the cheapest one that mends what was seen: a tick
// that finds everything in place does nothing at all, so a locked program costs next to no CPU.
#include "cover/WatchdogPolicy.h"

namespace {
constexpr uint32_t kExTransparent = 0x20;     // WS_EX_TRANSPARENT
constexpr uint32_t kExLayered = 0x80000;      // WS_EX_LAYERED
}  // namespace

// Raising our windows above such a window every tick would win nothing and cost a repaint:
// shell and overlay windows of this kind sit in the topmost band on every real desktop.
// Transparent alone is not click-through (it only changes the painting order); with the
// layered style, the pointer goes through to what lies beneath.
bool IsIntruder(const OtherWindowLook& look) {
    const bool clickThrough = (look.exStyle & (kExTransparent | kExLayered)) == (kExTransparent | kExLayered);
    return !look.cloaked && !clickThrough && look.width > 0 && look.height > 0;
}

bool IsOrderHeld(const std::vector<BandWindow>& band, int ours) {
    int seen = 0;
    int lastRank = 0;
    for (const BandWindow& window : band) {
        if (seen >= ours) return true;
        if (window.rank == BandWindow::kForeign) return false;
        if (window.rank < 0) continue;
        if (window.rank < lastRank) return false;
        lastRank = window.rank;
        ++seen;
    }
    // A window of ours that is not in the band at all has lost its topmost place.
    return seen >= ours;
}

WatchdogSteps DecideWatchdogSteps(const WatchdogView& view) {
    WatchdogSteps steps;
    steps.remakeCovers = view.coverMissing;
    steps.show = view.notShowing;
    // A window made again or shown again lands wherever the system puts it: raise it as well.
    steps.raise = view.coverMissing || view.notShowing || !view.orderHeld || view.misplaced;
    // Ours already has the keyboard when the foreground is any window of ours (a click on a
    // further monitor's cover, say): taking it back would only flicker.
    steps.takeFocus = view.foregroundForeign;
    return steps;
}

// Windows gives the foreground back only to a program that had the last input, and never above
// a window of a higher integrity level (an elevated Task Manager, a consent prompt); the
// watchdog asks every tick, so a second away means it was refused. Windows' own lock is the
// answer, once: asked again at every tick it would lock again the moment the user unlocks.
bool ForegroundEpisode::LockDue(bool foregroundOurs, uint32_t tick) {
    if (foregroundOurs) {
        away_ = handedOver_ = false;
        return false;
    }
    if (!away_) {
        away_ = true;
        since_ = tick;
        return false;
    }
    if (handedOver_ || tick - since_ < kGraceMs) return false;
    handedOver_ = true;
    return true;
}

bool IsRefusedSystemCommand(uint64_t wParam) {
    // The low four bits are the system's own; only the command counts.
    switch (wParam & 0xFFF0) {
    case 0xF060:   // SC_CLOSE
    case 0xF020:   // SC_MINIMIZE
    case 0xF010:   // SC_MOVE
    case 0xF000:   // SC_SIZE
        return true;
    default:
        return false;
    }
}
