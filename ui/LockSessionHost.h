// What the windows ask of the lock session: the lock state to read, the changes they report
// (activity, the lock window hidden, the unlock mode chosen, a lock or unlock request), and
// what they need of each other's windows. The session in app/ implements it; the windows below
// it see only this interface, never each other.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/LockScreenModel.h"
#include "core/LockState.h"

class LockSessionHost {
public:
    virtual const LockState& State() const = 0;
    // What the lock screen shows; the session writes it (the lock window its typed keys and
    // letters, through the reference the session gave it).
    virtual const LockScreenModel& Model() const = 0;
    // The grid of Config.Grid laid out on the screen, the panel painted for it and the typed
    // keys sized to it (the grid size changed).
    virtual void FitGrid() = 0;
    // The alert text the lock screen shows (the configuration dialog changed it).
    virtual void SetAlertText(const std::string& text) = 0;
    // Lock (true) or unlock; see LockComputer.
    virtual void RequestLock(bool isLock) = 0;
    // A click or key on the lock window or a cover: shown again, idle count restarted, monitor on.
    virtual void NoteActivity() = 0;
    // A pointer move over the lock window; isActivity restarts the idle count as well.
    virtual void NotePointerMove(bool isActivity) = 0;
    virtual void NoteMonitorOn() = 0;
    virtual void NoteMonitorOff() = 0;
    virtual void RestartIdleCount() = 0;
    virtual void SetLockWindowHidden(bool hidden) = 0;
    virtual void SetUnlockMode(int32_t mode) = 0;
    virtual void ToggleAutoLock() = 0;
    // Seconds since the last input anywhere (new input turns the monitor flag off) and since
    // the last activity on the lock window or its covers.
    virtual int32_t MeasureIdleSeconds() = 0;
    virtual int32_t InactiveSeconds() = 0;
    // Which restrictions the last lock could not put in force and why; "" when all were.
    virtual std::string RestrictionFailureText() const = 0;
    // Reads the screen and monitor geometry; when it changed, the windows are laid out for it
    // and, while locked, every monitor is covered again. True when it changed.
    virtual bool FollowDisplay() = 0;

    // The other windows, for z-order and focus; null when there is none.
    virtual HWND LockWindowHwnd() = 0;
    virtual HWND BackgroundHwnd() = 0;
    // The lock window's idle screen, drawn fresh (a recall from a cover).
    virtual void ShowIdleLockScreen() = 0;
    virtual void ShowVerifyDialog() = 0;
    // The configuration dialog without waiting (after a right pattern in the verify dialog).
    virtual void ShowConfigDialog() = 0;
    virtual void ExitApplication() = 0;
    // The lock effect's strips, cut from the background picture (the configuration dialog
    // drops them with the picture and has them cut when it closes).
    virtual void PrepareEffectStrips() = 0;
    virtual void ReleaseEffectStrips() = 0;

protected:
    ~LockSessionHost() = default;
    // Only a session makes itself the host.
    static void Register(LockSessionHost* host);
};

// The registered session, or one that changes nothing before a session exists.
LockSessionHost& Session();
inline const LockState& CurrentLockState() { return Session().State(); }
