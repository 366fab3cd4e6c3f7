// LockComputer: the one path between unlocked and locked. The steps run in a fixed order and each
// runs even when an earlier one failed, so a failure only leaves its own effect undone.
#include "core/LockSession.h"

#include <windows.h>

#include "core/AppState.h"
#include "core/DoEvents.h"
#include "core/Seams.h"
#include "cover/FrmBackground.h"
#include "lockscreen/FrmPattern.h"
#include "system/KeyboardLock.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "system/Restrictions.h"

namespace {

// Topmost at (0, 0) with the size kept; without SWP_NOACTIVATE this also activates the window.
void PlaceTopmost(HWND hwnd) {
    if (hwnd) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
}

HWND BackgroundHwnd() { return BackgroundWindow ? BackgroundWindow->Hwnd() : nullptr; }
HWND PatternHwnd() { return PatternWindow ? PatternWindow->Hwnd() : nullptr; }

bool IsTransparent() { return Config.TransparentBackground == 1; }

// Dynamic Password Mode: a fresh assignment of letters to the points at every lock.
void ShuffleLetters() {
    const int side = GridSideOf(Config.Grid);
    const int points = side * side;
    PointLetters = MakeRandomLetters(points, CryptoUniform);
    EnteredKeys.Reset(points);
}

void Lock(bool isStartup) {
    IsLockBusy = true;
    IsLocked = true;
    IsLockWindowHidden = false;
    IsMonitorOff = false;
    LastActiveTick = GetTickCount();

    ShowMonitorCovers(true);

    if (HWND background = BackgroundHwnd()) {
        ShowWindow(background, SW_SHOW);
        PlaceTopmost(background);
    }
    if (!isStartup && Config.Effect != 0 && BackgroundWindow) {
        PrepareEffectStrips();
        DoEvents();
        BackgroundWindow->LockEffectShow();
    }
    if (BackgroundWindow) BackgroundWindow->IniBackground();

    HideShell(true, IsTransparent());
    // The system shortcuts are held back in both settings of "Lock keyboard".
    HookKeyboard(true, Config.LockKeyboard != 0);
    ApplyPolicies();
    if (CurrentUnlockMode == kDynamicPasswordMode) ShuffleLetters();

    if (HWND pattern = PatternHwnd()) {
        ShowWindow(pattern, SW_SHOW);
        PlaceTopmost(pattern);
        PatternWindow->PatternNormal();
        SetFocus(pattern);
    }
    DoEvents();
    if (BackgroundWindow) BackgroundWindow->EnableWatchdog(true);
    if (Config.Disconnection != 0) HangUpConnections();
    IsLockBusy = false;
}

void Unlock() {
    IsLockBusy = true;
    IsLocked = false;
    IsLockWindowHidden = false;
    IsMonitorOff = false;
    // Stopped first: the watchdog must not raise windows while the unlock takes them down.
    if (BackgroundWindow) BackgroundWindow->EnableWatchdog(false);

    if (HWND pattern = PatternHwnd()) ShowWindow(pattern, SW_HIDE);

    if (Config.Effect != 0 && BackgroundWindow) {
        BackgroundWindow->IniEffectShow();
        PlaceTopmost(BackgroundHwnd());
        CalcEffectBands();
        PrepareUnlockStrip();
        DoEvents();
        BackgroundWindow->UnlockEffectShow();
    }

    HideShell(false, IsTransparent());
    HookKeyboard(false);
    RestorePolicies();

    if (HWND background = BackgroundHwnd()) ShowWindow(background, SW_HIDE);
    ShowMonitorCovers(false);

    // Again: the effect let messages run, and a cover click in between may have set them.
    IsLocked = false;
    IsMonitorOff = false;
    IsLockWindowHidden = false;
    IsLockBusy = false;
}

// An unlock asked for while the lock is still being put up: the lock window is already shown
// and takes input during the lock's last message pump, so a pattern drawn right away is checked
// there. Its unlock runs as soon as the lock is complete instead of being lost.
bool UnlockPending = false;

}  // namespace

void LockComputer(bool isLock, bool isStartup) {
    // The steps that let messages run make re-entry possible (a hot key, the idle timer, a tray
    // click, a pattern entered during the lock). A second transition on top of a running one,
    // or a lock over a lock, would repeat the effect and the policy writes and could leave the
    // flags and windows out of step, so such a request is dropped - except an unlock during a
    // lock, which is remembered: the right pattern must never be swallowed.
    if (IsLockBusy) {
        if (!isLock && IsLocked) UnlockPending = true;
        return;
    }
    if (isLock) {
        if (IsLocked) return;
        UnlockPending = false;
        Lock(isStartup);
        if (!UnlockPending) return;
        UnlockPending = false;
    }
    Unlock();
}
