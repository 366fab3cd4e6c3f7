// What keeps the session locked when the lock program itself fails: the "Locked" marker in the
// registry (and the RunOnce value that starts the program at the next logon), the system's lock
// from a crash while locked, and the session's end while locked (policies and shell given back
// before Windows ends the session, the lock put up again when the session goes on).
#pragma once

// The lock session calls this at the start of every lock (true) and the end of every unlock.
void NoteLocked(bool isLocked);

// An unhandled exception or std::terminate while locked calls the system's lock before the
// process ends; the marker stays set for the next start.
void InstallCrashLock();

class LockSession;

// A hidden top-level window of its own that hears WM_QUERYENDSESSION / WM_ENDSESSION and gives
// back or puts up again the locks of `session`.
void CreateSessionEndWindow(LockSession& session);
void CloseSessionEndWindow();
