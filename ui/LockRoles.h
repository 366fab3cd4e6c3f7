// The narrow roles the lock program's windows are given by their owner: each window takes in
// its constructor only the ones it uses, and a test gives it a small fake instead.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/LockScreenModel.h"
#include "core/LockState.h"

// The lock state, and the requests to change it.
class LockControl {
public:
    virtual const LockState& State() const = 0;
    // Lock (true) or unlock; see LockComputer.
    virtual void RequestLock(bool isLock) = 0;
protected:
    ~LockControl() = default;
};

// What the windows note of the user while locked, and the choices made on the lock screen.
class ActivityNotes {
public:
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
protected:
    ~ActivityNotes() = default;
};

// The program's other windows, for z-order, focus and the ways from one to another.
class WindowDirectory {
public:
    // Null when there is none.
    virtual HWND LockWindowHwnd() = 0;
    virtual HWND BackgroundHwnd() = 0;
    // The lock window's idle screen, drawn fresh (a recall from a cover).
    virtual void ShowIdleLockScreen() = 0;
    virtual void ShowVerifyDialog() = 0;
    // The configuration dialog without waiting (after a right pattern in the verify dialog).
    virtual void ShowConfigDialog() = 0;
    virtual bool IsConfigDialogOpen() const = 0;
    virtual void ExitApplication() = 0;
    // A notification balloon from the tray icon; false when there is no icon or the shell
    // refused.
    virtual bool ShowTrayBalloon(const std::string& title, const std::string& text) = 0;
    // Reads the screen and monitor geometry; when it changed, the windows are laid out for it
    // and, while locked, every monitor is covered again. True when it changed.
    virtual bool FollowDisplay() = 0;
protected:
    ~WindowDirectory() = default;
};

// What the configuration dialog changes of the lock screen.
class LockScreenSettings {
public:
    // What the lock screen shows; the session writes it.
    virtual const LockScreenModel& Model() const = 0;
    // The grid of the settings laid out on the screen, the panel painted for it and the typed
    // keys sized to it (the grid size changed).
    virtual void FitGrid() = 0;
    // The alert text the lock screen shows (the configuration dialog changed it).
    virtual void SetAlertText(const std::string& text) = 0;
    // The lock effect's strips, cut from the background picture (the configuration dialog
    // drops them with the picture and has them cut when it closes).
    virtual void PrepareEffectStrips() = 0;
    virtual void ReleaseEffectStrips() = 0;
    // Which restrictions the last lock could not put in force and why; "" when all were.
    virtual std::string RestrictionFailureText() const = 0;
protected:
    ~LockScreenSettings() = default;
};
