// Entry point of the lock program: the start-up steps in their fixed order, then the message
// loop. The program has no main window; it lives from the messages of its hidden windows.
#include <windows.h>

#include <string>

#include "core/AppState.h"
#include "core/ConfigFile.h"
#include "app/FailClosed.h"
#include "app/Guardian.h"
#include "app/GuardianPlan.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "app/Startup.h"
#include "app/StartupHooks.h"
#include "system/LockRecord.h"
#include "system/StartupText.h"
#include "system/PowerActions.h"
#include "ui/GdiPlusHandles.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Not the runtime's argument text: it cuts an unquoted program path at its first blank.
    const char* commandLine = GetCommandLineA();
    const std::string arguments = CommandLineArguments(commandLine ? commandLine : "", ExecutablePath());

    // The guardian: no mutex, no window, no tray icon, so it is never taken for a second copy.
    if (const auto locker = GuardianLockerFromArguments(arguments)) return RunGuardian(*locker);

    // A second copy ends at once, without a window or a message; asked for "/Lock" it
    // passes the request on first.
    if (IsPreviousInstanceRunning() || CheckPrevInstance()) {
        if (IsLockCommand(arguments)) AskRunningCopyToLock();
        return 0;
    }
    IniCommonControls();
    // Declared before every window so that it ends after the last GDI+ object.
    const GdiPlusSession gdiplus;
    if (!CheckGDIPlus(gdiplus)) return 1;
    // The one lock session, the windows' host from here on. Nothing locks until the first-run or
    // broken-file flow has ended: its message and dialog must not end up under a lock screen.
    TheLockSession().HoldLocks(true);
    // Paths and data folders.
    const ProgramFiles files = IniPaths();
    SetProgramFiles(files);
    // Ends the process on Windows 95, 98 and Me; the name is not needed otherwise.
    GetOSName();
    // Location and version for the maintenance tool; a failed write is not reported.
    SaveAppInfo(files);
    // Shutdown privilege (for the shutdown alert) and a late place in the shutdown order
    // without the retry dialog.
    AdjustPrivilege(kShutdownPrivilege, true);
    SetProcessShutdownParameters(0, SHUTDOWN_NORETRY);
    // The alarm sound the lock window plays; a failure only means a silent alarm.
    SaveResourceFile(files.AlarmFilePath, "ALARM");
    // Configuration and screen.
    ConfigFileCheck configCheck;
    configCheck.IsFirstRun = CheckFirstRun(files.ConfigFilePath);
    configCheck.LoadResult = LoadConfigData(files.ConfigFilePath);
    IniScreenData();
    // Policies left by an abnormal end, then the hidden windows and the images. A marker
    // left set means the computer was locked when that end came: it is locked again below.
    const bool wasLocked = IsLockedMarkerSet();
    StartupRestorePolicies();
    StartupCreateMonitorCover();
    StartupCreateBackgroundWindow();
    StartupCreateMessageWindow();
    StartupCreateLockWindow();
    StartupLoadImages();
    // Working set trimmed, then what start-up queued handled before the first-run flow.
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
    PumpPendingMessages();
    // Defaults, message and the modal configuration dialog; start-up waits for it.
    HandleFirstRunOrBrokenConfig(configCheck);
    TheLockSession().HoldLocks(false);
    // Lock before the tray icon exists when started at logon, at once when started to lock
    // ("/Lock" with no copy running), or after a lock that ended without its unlock; the guardian
    // and the crash lock guard it from the start.
    InstallCrashLock();
    StartGuardianWatch();
    CreateSessionEndWindow();
    if (IsStartupLockCommand(arguments) || IsLockCommand(arguments) || wasLocked) StartupLockComputer();
    StartupCreateTray();
    ReportFailedHotKeys();
    if (Config.Effect != 0) StartupPrepareEffectStrips();

    const int exitCode = RunMessageLoop();
    StopGuardianWatch();
    return exitCode;
}
