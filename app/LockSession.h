// The lock session: the one owner of the lock state, and the procedure that moves the program
// between unlocked and locked.
#pragma once

#include <cstdint>

#include "cover/WatchdogPolicy.h"
#include "ui/LockSessionHost.h"
#include "core/PolicyNotice.h"

class LockSession final : public LockSessionHost {
public:
    LockSession(const LockSession&) = delete;
    LockSession& operator=(const LockSession&) = delete;

    // Locks (isLock true) or unlocks. isStartup suppresses the closing animation of a lock made
    // at program start. A lock request while already locked or while a transition runs is
    // ignored; an unlock requested while a lock is being put up runs once that lock is complete.
    void LockComputer(bool isLock, bool isStartup);
    // Start-up holds every lock until the first-run or broken-file flow has ended.
    void HoldLocks(bool held) { state_.HoldLocks(held); }

    const LockState& State() const override { return state_; }
    void RequestLock(bool isLock) override;
    void NoteActivity() override;
    void NotePointerMove(bool isActivity) override;
    void NoteMonitorOn() override;
    void NoteMonitorOff() override;
    void RestartIdleCount() override;
    void SetLockWindowHidden(bool hidden) override;
    void SetUnlockMode(int32_t mode) override;
    void ToggleAutoLock() override;
    int32_t MeasureIdleSeconds() override;
    int32_t InactiveSeconds() override;
    std::string RestrictionFailureText() const override { return notice_.Text(); }
    HWND LockWindowHwnd() override;
    HWND BackgroundHwnd() override;
    void ShowIdleLockScreen() override;
    void ShowVerifyDialog() override;
    void ShowConfigDialog() override;
    void ExitApplication() override;
    void PrepareEffectStrips() override;
    void ReleaseEffectStrips() override;
    bool FollowDisplay() override;

private:
    friend LockSession& TheLockSession();
    LockSession();
    void Lock(bool isStartup);
    void Unlock();
    // FollowDisplay's parts (app/FollowDisplay.cpp).
    // True when the geometry changed; resized: the primary screen's size did.
    bool ReadDisplay(bool* resized);
    void CoverAgain();

    LockState state_;
    PolicyFailures lockFailures_;   // what the current or last lock could not apply
    PolicyNotice notice_;
    // The geometry the windows were last laid out for; empty before the first lock.
    DisplayGeometry display_;
};

// The program's one session; made (and made the windows' host) on first use.
LockSession& TheLockSession();

// TheLockSession().LockComputer.
void LockComputer(bool isLock, bool isStartup);
