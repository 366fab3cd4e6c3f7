// The idle rules of the lock window's one-second timer, separated from the timer so that hours
// of idle time can be tested in microseconds.
#include "system/IdlePolicy.h"

#include <limits>

#include "system/Text.h"

IdleActions DecideIdleActions(const IdleInputs& in) {
    IdleActions out;
    // The alarm screen owns the display: no fading, locking or blanking while it counts down.
    if (in.isAlarm) return out;

    out.hideLockWindow = in.isLocked && !in.isLockWindowHidden && in.autoHideTime > 0 &&
                         in.inactiveSeconds >= in.autoHideTime;
    out.lockComputer = !in.isLocked && !in.isAutoLockDisabled && in.autoLockTime > 0 &&
                       in.idleSeconds >= in.autoLockTime;
    // Locked or not: the monitor goes off after the idle time. Not in the middle of a lock
    // transition, and not while the user has paused auto-lock from the tray (a presentation).
    out.turnOffMonitor = !in.isMonitorOff && !in.isLockBusy && !in.isAutoLockDisabled &&
                         in.monitorOffTime >= 1 && in.idleSeconds >= in.monitorOffTime;
    return out;
}

int32_t ElapsedSeconds(uint32_t nowTick, uint32_t thenTick) {
    // Unsigned subtraction gives the right span across the counter's wrap-around.
    const uint32_t span = nowTick - thenTick;
    // A "last input" stamped after now (clock skew between the input and tick sources) shows
    // up as a huge span; treat it as no idle time rather than as weeks of it.
    if (span > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return 0;
    return static_cast<int32_t>(RoundHalfEven(span / 1000.0));
}
