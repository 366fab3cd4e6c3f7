// The lock window's once-a-second idle decisions (auto-hide, auto-lock, monitor off) and the
// tick arithmetic behind the idle measurements. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>

struct IdleInputs {
    bool isAlarm = false;
    bool isLocked = false;
    bool isLockWindowHidden = false;
    bool isMonitorOff = false;
    bool isLockBusy = false;
    bool isAutoLockDisabled = false;
    int idleSeconds = 0;       // since the last input anywhere on the desktop
    int inactiveSeconds = 0;   // since the last activity on the lock window or its covers
    int32_t autoHideTime = 0;
    int32_t autoLockTime = 0;
    int32_t monitorOffTime = 0;
};

struct IdleActions {
    bool hideLockWindow = false;
    bool lockComputer = false;
    bool turnOffMonitor = false;

    bool operator==(const IdleActions&) const = default;
};

// What this tick of the timer must do; the caller carries the actions out in the order of the
// fields (hide, lock, monitor off).
IdleActions DecideIdleActions(const IdleInputs& in);

// Whole seconds from thenTick to nowTick, rounded half to even. The 32-bit tick counter wraps
// after 49.7 days, so the difference is taken modulo 2^32; a difference that does not fit a
// signed 32-bit value gives 0.
int32_t ElapsedSeconds(uint32_t nowTick, uint32_t thenTick);
