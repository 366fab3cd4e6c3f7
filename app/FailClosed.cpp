// The locked marker, the crash lock and the session's end.
#include "app/FailClosed.h"

#include <windows.h>

#include <atomic>
#include <exception>

#include "app/FailClosedPlan.h"
#include "app/Guardian.h"
#include "app/LockSession.h"
#include "cover/PrimaryCover.h"
#include "system/KeyboardLock.h"
#include "system/LockedSettings.h"
#include "system/LockRecord.h"
#include "system/PowerActions.h"
#include "system/Restrictions.h"
#include "system/VersionInfo.h"
#include "system/WinHandles.h"
#include "ui/Window.h"

namespace {

// Read by the crash handlers, which may run on any thread and must not touch the registry.
std::atomic<bool> gIsLocked{false};

constexpr UINT kCrashExitCode = 3;

// While locked the process ends at once instead of waiting in a crash dialog, so the guardian
// can put the lock back; unlocked, the crash takes its usual way (report, debugger).
LONG WINAPI LockOnUnhandledException(EXCEPTION_POINTERS*) {
    if (!gIsLocked.load()) return EXCEPTION_CONTINUE_SEARCH;
    LockWorkstationAfterCrash();
    return EXCEPTION_EXECUTE_HANDLER;
}

// abort() may show the runtime's message box first and keep the process alive behind it.
[[noreturn]] void LockOnTerminate() {
    if (gIsLocked.load()) LockWorkstationAfterCrash();
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    for (;;) Sleep(INFINITE);
}

constexpr char kSessionEndWindowClass[] = "OrvoPCLockSessionEnd";

}  // namespace

void NoteLocked(bool isLocked) {
    gIsLocked.store(isLocked);
    TellGuardianLocked(isLocked);
    if (isLocked) {
        NoteMarkerOwner();
        SetLockedMarker();
    } else {
        ClearLockedMarker();
    }
    SetRunOnceLock(isLocked, ExecutablePath());
}

void InstallCrashLock() {
    SetUnhandledExceptionFilter(LockOnUnhandledException);
    std::set_terminate(LockOnTerminate);
}

// ---- the session's end ----

bool SessionEndWindow::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.lpszClassName = kSessionEndWindowClass;
    if (!RegisterWindowClass(wc)) return false;
    return CreateWindowFor(WS_EX_TOOLWINDOW, kSessionEndWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance) != nullptr;
}

void SessionEndWindow::Close() {
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT SessionEndWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: OnEndSession(wp != FALSE); return 0;
    case WM_TIMER:
        if (wp == kGraceTimer) {
            OnGraceTick();
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void SessionEndWindow::OnEndSession(bool ending) {
    const SessionEndAction action = watch_.NoteEndSession(ending, session_.State().IsLocked(), GetTickCount64());
    if (action == SessionEndAction::GiveBack) {
        GiveBackSessionWhileLocked();
        SetTimer(hwnd_, kGraceTimer, kGraceTickMs, nullptr);
    }
    Follow(action);
}

void SessionEndWindow::OnGraceTick() { Follow(watch_.Tick(session_.State().IsLocked(), GetTickCount64())); }

void SessionEndWindow::Follow(SessionEndAction action) {
    if (!watch_.IsArmed()) KillTimer(hwnd_, kGraceTimer);
    if (action == SessionEndAction::LockAgain) session_.LockAgain();
}

// Windows may end the process right after this returns: the session's restrictions go now.
// The marker (and the RunOnce value) stay, so the next logon locks at once; a process still
// running after the grace was sent no real end, and the lock goes up again in full.
void SessionEndWindow::GiveBackSessionWhileLocked() {
    // The watchdog would hide the taskbars again at its next tick.
    if (PrimaryCover* cover = session_.Cover()) cover->EnableWatchdog(false);
    HookKeyboard(false);
    RestorePolicies();
    RestoreAccessHotKeys(session_.Settings());
    ShowShell();
}
