// Entry point of the lock program: the start-up steps in their fixed order, then the message
// loop. The program has no main window; it lives from the messages of its hidden windows.
#include <windows.h>

#include <optional>
#include <string>

#include "core/ConfigFile.h"
#include "core/PolicyRegistry.h"
#include "app/FailClosed.h"
#include "app/FailClosedPlan.h"
#include "app/Guardian.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "app/Startup.h"
#include "system/LockRecord.h"
#include "system/StartupText.h"
#include "system/PowerActions.h"
#include "system/SystemLibrary.h"
#include "ui/GdiPlusHandles.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystem32Only();
    // Not the runtime's argument text: it cuts an unquoted program path at its first blank.
    const char* commandLine = GetCommandLineA();
    const std::string arguments = CommandLineArguments(commandLine ? commandLine : "", ExecutablePath());

    // A second copy ends at once, without a window or a message; asked to lock, or finding the
    // "Locked" marker set, it passes the lock on first.
    if (IsPreviousInstanceRunning() || CheckPrevInstance()) {
        if (LocksAtStart(IsLockedMarkerSet(), arguments)) AskRunningCopyToLock();
        return 0;
    }
    LoadCommonControls();
    // A window busy for a few seconds (a wipe, a fade) stays where it is: Windows would otherwise
    // put a movable "Not responding" copy of it on top, with a close button, above the lock.
    DisableProcessWindowsGhosting();
    // Declared before every window so that it ends after the last GDI+ object.
    const GdiPlusSession gdiplus;
    if (!CheckGDIPlus(gdiplus)) return 1;
    // The one lock session: it owns the lock state, the lock screen and the full-screen windows,
    // and gives every other window the roles it uses. Nothing locks until the first-run or
    // broken-file flow has ended: its message and dialog must not end up under a lock screen.
    LockSession session;
    session.HoldLocks(true);
    // Paths and data folders.
    const ProgramFiles files = FindProgramFiles();
    SetProgramFiles(files);
    // Ends the process on Windows 95, 98 and Me; the name is not needed otherwise.
    GetOSName();
    // Asked before anything of this start lands under the account's key.
    const bool accountWasKnown = AccountIsKnown();
    // Location and version for the maintenance tool; a failed write is not reported.
    SaveAppInfo(files);
    // Shutdown privilege (for the shutdown alert) and a late place in the shutdown order
    // without the retry dialog.
    AdjustPrivilege(kShutdownPrivilege, true);
    SetProcessShutdownParameters(0, SHUTDOWN_NORETRY);
    // The alarm sound the lock window plays; a failure only means a silent alarm.
    SaveResourceFile(files.AlarmFilePath, "ALARM");
    // A marker left set means the computer was locked when the program ended abnormally: it is
    // locked again below, and then before anything of this start speaks.
    const bool wasLocked = IsLockedMarkerSet();
    const bool locksFirst = LocksBeforeMessages(wasLocked, accountWasKnown, arguments);
    // Configuration and screen; what the file's state needs said comes after the windows, or
    // after the unlock.
    ConfigFileCheck configCheck = CheckConfigFile(session.Config(), files.ConfigFilePath, accountWasKnown);
    ApplyPolicySettings(session.Config());
    FitScreenData(session);
    // Policies left by an abnormal end, then the hidden windows and the images.
    StartHiddenWindows(session);
    // Working set trimmed, then what start-up queued handled before the first-run flow.
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    PumpPendingMessages();
    // Defaults, message and the modal configuration dialog; start-up waits for it. A start that
    // locks first takes the defaults only: a box before the lock would leave the desktop open
    // beside it, so the messages and the dialog follow the unlock.
    PrepareConfigDefaults(session, configCheck);
    std::optional<ConfigFileCheck> noticeAfterUnlock;
    if (locksFirst) noticeAfterUnlock = ConfigNoticeAfterUnlock(configCheck);
    else TellConfigDefaults(session, configCheck);
    ApplyStartupLockPolicy();
    session.HoldLocks(false);
    // Lock before the tray icon exists when started at logon, at once when started to lock
    // ("/Lock" with no copy running), or, whatever the arguments, after a lock that ended without
    // its unlock (a kill, a crash, a power loss, the session's end); the guardian and the crash
    // lock guard it from the start.
    InstallCrashLock();
    StartGuardianWatch();
    session.CreateSessionEndWindow();
    if (LocksAtStart(wasLocked, arguments)) session.LockComputer(true, true);
    // The tray window last: its title is what a second start looks for, and the icon appears
    // only once everything it can start exists.
    session.CreateTray();
    ReportFailedHotKeys(session);
    ReportIgnoredPolicies(session, session);
    if (MessageWindow* messages = session.MessageWindowObject()) messages->StartPolicyRefresh();

    const int exitCode = RunMessageLoop(session, noticeAfterUnlock);
    StopGuardianWatch();
    return exitCode;
}
