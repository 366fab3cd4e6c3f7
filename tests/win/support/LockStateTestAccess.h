// Lets a test put the lock state where its case starts (the program changes it only through the
// lock session).
#pragma once

#include "support/SessionSupport.h"

// The session's lock state, as the tests read it.
inline const LockState& CurrentLockState() { return TestSession().State(); }

struct LockStateTestAccess {
    static LockState& State() { return const_cast<LockState&>(TestSession().State()); }
    static void SetPhase(LockPhase phase) { State().phase_ = phase; }
    static void SetLockWindowHidden(bool hidden) { State().isLockWindowHidden_ = hidden; }
    static void SetMonitorOff(bool off) { State().isMonitorOff_ = off; }
    static void SetAutoLockDisabled(bool disabled) { State().isAutoLockDisabled_ = disabled; }
    static void SetLastActiveTick(uint32_t tick) { State().lastActiveTick_ = tick; }
    static void SetLastInputTick(uint32_t tick) { State().lastInputTick_ = tick; }
    static void SetUnlockMode(int32_t mode) { State().unlockMode_ = mode; }
};
