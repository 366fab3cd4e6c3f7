// What keeps the session locked when the lock program itself fails: the "Locked" marker in the
// registry (and the RunOnce value that starts the program at the next logon), the system's lock
// from a crash while locked, and the session's end while locked (policies and shell given back
// before Windows ends the session, the lock put up again when the session goes on).
#pragma once

#include <windows.h>

#include "app/FailClosedPlan.h"
#include "ui/Window.h"

// The lock session calls this at the start of every lock (true) and the end of every unlock.
void NoteLocked(bool isLocked);

// An unhandled exception or std::terminate while locked calls the system's lock before the
// process ends; the marker stays set for the next start.
void InstallCrashLock();

class LockSession;

// Top-level, because a message-only window hears no session broadcast; never shown and
// without a title, so nothing finds it for the running program's window. It hears
// WM_QUERYENDSESSION / WM_ENDSESSION and gives back or puts up again the locks of its session,
// which outlives it.
class SessionEndWindow : public Window<SessionEndWindow> {
public:
    explicit SessionEndWindow(LockSession& session) : session_(session) {}
    SessionEndWindow(const SessionEndWindow&) = delete;
    SessionEndWindow& operator=(const SessionEndWindow&) = delete;

    bool Create(HINSTANCE instance);
    void Close();

private:
    friend class Window<SessionEndWindow>;
    static constexpr UINT_PTR kGraceTimer = 1;
    static constexpr UINT kGraceTickMs = 250;

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnEndSession(bool ending);
    void OnGraceTick();
    void Follow(SessionEndAction action);
    void GiveBackSessionWhileLocked();

    LockSession& session_;
    SessionEndWatch watch_;
};
