// The lock cycle's transitions and the named changes of its flags.
#include "core/LockState.h"

// The steps of a lock or unlock let messages run, so a hot key, the idle timer, a tray click
// or a pattern entered meanwhile can ask for another transition. One on top of a running one,
// or a lock over a lock, would repeat the effect and the policy writes and leave the flags and
// windows out of step, so it is dropped - except an unlock during a lock, which is kept: the
// right pattern must never be swallowed.
//
// While locks are held (the first-run message and its dialog are up) a lock would hide that
// dialog under the lock screen and ask for a default pattern the user has never seen, so every
// lock request - idle time, hot key, tray - is dropped.
bool LockState::BeginLock(uint32_t now) {
    if (phase_ != LockPhase::Unlocked || areLocksHeld_) return false;
    phase_ = LockPhase::Locking;
    unlockPending_ = false;
    isLockWindowHidden_ = false;
    isMonitorOff_ = false;
    lastActiveTick_ = now;
    return true;
}

bool LockState::FinishLock() {
    phase_ = LockPhase::Locked;
    const bool pending = unlockPending_;
    unlockPending_ = false;
    return pending;
}

// An unlock also runs when nothing is locked: it puts the shell and the policies back.
bool LockState::BeginUnlock() {
    if (phase_ == LockPhase::Locking) unlockPending_ = true;
    if (IsBusy()) return false;
    phase_ = LockPhase::Unlocking;
    isLockWindowHidden_ = false;
    isMonitorOff_ = false;
    return true;
}

// Cleared again: the unlock's effect let messages run, and a cover click may have set them.
void LockState::FinishUnlock() {
    phase_ = LockPhase::Unlocked;
    isLockWindowHidden_ = false;
    isMonitorOff_ = false;
}

void LockState::NoteActivity(uint32_t now) {
    isLockWindowHidden_ = false;
    lastActiveTick_ = now;
    isMonitorOff_ = false;
}

void LockState::NoteInputTick(uint32_t tick) {
    if (tick == lastInputTick_) return;
    lastInputTick_ = tick;
    isMonitorOff_ = false;
}
