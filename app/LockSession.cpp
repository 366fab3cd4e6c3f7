// LockComputer: the one path between unlocked and locked. The steps run in a fixed order and each
// runs even when an earlier one failed, so a failure only leaves its own effect undone.
#include "app/LockSession.h"

#include <windows.h>

#include "app/FailClosed.h"
#include "app/Startup.h"
#include "configui/FrmConfig.h"
#include "core/AppState.h"
#include "cover/FrmBackground.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/FrmPattern.h"
#include "lockscreen/FrmVerify.h"
#include "system/KeyboardLock.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "system/Restrictions.h"
#include "tray/FrmTray.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"

namespace {

// Topmost at (0, 0) with the size kept; without SWP_NOACTIVATE this also activates the window.
void PlaceTopmost(HWND hwnd) {
    if (hwnd) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
}

HWND PatternHwnd() { return PatternWindow ? PatternWindow->Hwnd() : nullptr; }

bool IsTransparent() { return Config.TransparentBackground == 1; }

// Dynamic Password Mode: a fresh assignment of letters to the points at every lock.
void ShuffleLetters() {
    const int side = GridSideOf(Config.Grid);
    const int points = side * side;
    PointLetters = MakeRandomLetters(points, CryptoUniform);
    EnteredKeys.Reset(points);
}

}  // namespace

void LockSession::Lock(bool isStartup) {
    // The screen may have changed size since start-up or the last lock.
    bool resized = false;
    if (ReadDisplay(&resized) && resized) ReloadBackgroundImage();
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
    HookKeyboard(true, state_.UnlockMode(), Config.LockKeyboard != 0);
    lockFailures_ = ApplyPolicies();
    if (state_.UnlockMode() == kDynamicPasswordMode) ShuffleLetters();

    if (HWND pattern = PatternHwnd()) {
        ShowWindow(pattern, SW_SHOW);
        PlaceTopmost(pattern);
        PatternWindow->PatternNormal();
        // The foreground too, not only the focus: until the lock window is the foreground
        // window, a first press on it only activates it (Wine's desktop drops it), and the
        // first pattern drawn right after the lock would be lost.
        SetForegroundWindow(pattern);
        SetFocus(pattern);
    }
    // No other program may take the foreground by itself while locked (Windows only; the user's
    // own Alt or click lifts it, and the watchdog sets it again).
    LockSetForegroundWindow(LSFW_LOCK);
    DoEvents();
    if (BackgroundWindow) BackgroundWindow->EnableWatchdog(true);
    if (Config.Disconnection != 0) HangUpConnections();
}

void LockSession::Unlock() {
    // Stopped first: the watchdog must not raise windows while the unlock takes them down.
    if (BackgroundWindow) BackgroundWindow->EnableWatchdog(false);
    LockSetForegroundWindow(LSFW_UNLOCK);

    if (HWND pattern = PatternHwnd()) ShowWindow(pattern, SW_HIDE);

    if (Config.Effect != 0 && BackgroundWindow) {
        BackgroundWindow->IniEffectShow();
        PlaceTopmost(BackgroundHwnd());
        PrepareUnlockStrip();
        DoEvents();
        BackgroundWindow->UnlockEffectShow();
    }

    HideShell(false, IsTransparent());
    HookKeyboard(false);
    RestorePolicies();

    if (HWND background = BackgroundHwnd()) ShowWindow(background, SW_HIDE);
    ShowMonitorCovers(false);
}

void LockSession::LockComputer(bool isLock, bool isStartup) {
    if (isLock) {
        if (!state_.BeginLock(GetTickCount())) return;
        // Set before anything is hidden or applied: from here on a kill or a crash relocks.
        NoteLocked(true);
        Lock(isStartup);
        // The lock window takes input during the lock's last message pump, so a pattern drawn
        // right away asks for an unlock then; it runs now instead of being lost.
        if (!state_.FinishLock()) return;
    }
    if (!state_.BeginUnlock()) return;
    Unlock();
    state_.FinishUnlock();
    NoteLocked(false);
    const std::string notice = notice_.BalloonAfterUnlock(lockFailures_);
    if (!notice.empty()) ShowTrayBalloon(kPolicyNoticeTitle, notice);
}

LockSession::LockSession() { Register(this); }

LockSession& TheLockSession() {
    static LockSession session;
    return session;
}

void LockSession::RequestLock(bool isLock) { LockComputer(isLock, false); }
void LockSession::NoteActivity() { state_.NoteActivity(GetTickCount()); }

void LockSession::NotePointerMove(bool isActivity) {
    state_.SetLockWindowHidden(false);
    if (isActivity) state_.SetLastActiveTick(GetTickCount());
    state_.NoteMonitorOn();
}

void LockSession::NoteMonitorOn() { state_.NoteMonitorOn(); }
void LockSession::NoteMonitorOff() { state_.NoteMonitorOff(); }
void LockSession::RestartIdleCount() { state_.SetLastActiveTick(GetTickCount()); }
void LockSession::SetLockWindowHidden(bool hidden) { state_.SetLockWindowHidden(hidden); }

void LockSession::SetUnlockMode(int32_t mode) { state_.SetUnlockMode(mode); }

void LockSession::ToggleAutoLock() { state_.ToggleAutoLock(); }

int32_t LockSession::MeasureIdleSeconds() {
    const IdleReading reading = GetIdleSeconds(state_.LastInputTick());
    state_.NoteInputTick(reading.InputTick);
    if (reading.KeySeen) state_.NoteMonitorOn();
    return reading.Seconds;
}

int32_t LockSession::InactiveSeconds() { return GetInactiveSeconds(state_.LastActiveTick()); }

HWND LockSession::LockWindowHwnd() { return PatternHwnd(); }
HWND LockSession::BackgroundHwnd() { return BackgroundWindow ? BackgroundWindow->Hwnd() : nullptr; }

void LockSession::ShowIdleLockScreen() {
    if (PatternWindow) PatternWindow->PatternNormal();
}

void LockSession::ShowVerifyDialog() { ::ShowVerifyDialog(); }
void LockSession::ShowConfigDialog() { ::ShowConfigDialog(false); }
void LockSession::ExitApplication() { ::ExitApplication(); }
void LockSession::PrepareEffectStrips() { ::PrepareEffectStrips(); }
void LockSession::ReleaseEffectStrips() { ::ReleaseEffectStrips(); }

void LockComputer(bool isLock, bool isStartup) { TheLockSession().LockComputer(isLock, isStartup); }
