// The lock's state: where the lock cycle stands and the flags the windows and the idle timer
// read. Everyone reads it through a const reference; only the lock session (and the tests'
// access struct) can change it. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>

enum class LockPhase { Unlocked, Locking, Locked, Unlocking };

class LockState {
public:
    LockPhase Phase() const { return phase_; }
    // True from the start of a lock until the start of the next unlock.
    bool IsLocked() const { return phase_ == LockPhase::Locking || phase_ == LockPhase::Locked; }
    // True while a lock or an unlock is being carried out.
    bool IsBusy() const { return phase_ == LockPhase::Locking || phase_ == LockPhase::Unlocking; }
    bool IsLockWindowHidden() const { return isLockWindowHidden_; }
    bool IsMonitorOff() const { return isMonitorOff_; }
    bool IsAutoLockDisabled() const { return isAutoLockDisabled_; }
    uint32_t LastActiveTick() const { return lastActiveTick_; }
    uint32_t LastInputTick() const { return lastInputTick_; }
    int32_t UnlockMode() const { return unlockMode_; }
    // True while the start-up's first-run or broken-file flow has not ended: no lock starts.
    bool AreLocksHeld() const { return areLocksHeld_; }

private:
    friend class LockSession;
    friend struct LockStateTestAccess;

    // Transitions. Begin* answer whether the session runs the steps now.
    bool BeginLock(uint32_t now);
    // Back to Locked; true when an unlock was asked for meanwhile (it runs at once).
    bool FinishLock();
    bool BeginUnlock();
    void FinishUnlock();

    // Activity on the lock window or a cover: it shows again, the idle count restarts, the
    // monitor is on.
    void NoteActivity(uint32_t now);
    void NoteMonitorOn() { isMonitorOff_ = false; }
    void NoteMonitorOff() { isMonitorOff_ = true; }
    // The desktop's last-input tick as the idle measurement read it; a new one wakes the monitor.
    void NoteInputTick(uint32_t tick);
    void SetLastActiveTick(uint32_t tick) { lastActiveTick_ = tick; }
    void SetLockWindowHidden(bool hidden) { isLockWindowHidden_ = hidden; }
    void SetUnlockMode(int32_t mode) { unlockMode_ = mode; }
    void ToggleAutoLock() { isAutoLockDisabled_ = !isAutoLockDisabled_; }
    void HoldLocks(bool held) { areLocksHeld_ = held; }

    LockPhase phase_ = LockPhase::Unlocked;
    bool unlockPending_ = false;
    bool isLockWindowHidden_ = false;
    bool isMonitorOff_ = false;
    bool isAutoLockDisabled_ = false;
    bool areLocksHeld_ = false;
    uint32_t lastActiveTick_ = 0;
    uint32_t lastInputTick_ = 0;
    int32_t unlockMode_ = 0;
};
