// One body per start-up or exit step that another module provides. Until a module lands its
// step does nothing.
#include "app/StartupHooks.h"

#include "configui/ConfigDialog.h"
#include "core/AppState.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "cover/PrimaryCover.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/LockWindow.h"
#include "lockscreen/VerifyDialog.h"
#include "ui/ImageTable.h"
#include "system/LockedSettings.h"
#include "system/Restrictions.h"
#include "tray/AboutWindow.h"
#include "tray/TrayWindow.h"

// ---- restrictions (policies, shell) ----

// A process that ended while locked (killed, crashed, power lost) left the policies set, the
// accessibility hot keys off and, with a picture background, the taskbar and the desktop icons
// hidden. The policies and hot keys go back to what that lock remembered; without a record no
// lock of ours changed them and nothing is written, so an administrator's own values stay. The
// lock itself comes back later in the start-up.
void StartupRestorePolicies() {
    RestorePoliciesIfRemembered();
    RestoreAccessHotKeys(TheLockSession().Settings());
    ShowShell();
}

void ExitShowShell() { HideShell(false, IsTransparentBackground(Config)); }

// Exit is refused while locked, so the unlock has given the values back already; a record left
// anyway (a lock that could not finish) is given back, and without one nothing is written.
void ExitRestorePolicies() {
    RestorePoliciesIfRemembered();
    RestoreAccessHotKeys(TheLockSession().Settings());
}

// ---- monitors and covers ----

void StartupCreateMonitorCover() { TheLockSession().FurtherCovers().Create(); }

void StartupCreateBackgroundWindow() { TheLockSession().CreateCover(GetModuleHandleA(nullptr)); }

// ---- hot keys ----

void StartupCreateMessageWindow() {
    LockSession& session = TheLockSession();
    CreateMessageWindow(session, session);
}

void ExitUnregisterHotKeys() { CloseMessageWindow(); }

// ---- lock window and images ----

void StartupCreateLockWindow() { TheLockSession().CreateLockWindow(GetModuleHandleA(nullptr)); }

// The background picture is made aside: the tray is up while it is decoded and fitted.
void StartupLoadImages() { TheLockSession().LoadImages(nullptr, BackgroundLoad::Aside); }

void ExitFreeImages() { FreeImages(); }

// ---- lock session ----

void StartupLockComputer() { LockComputer(true, true); }

// ---- effects ----

void ExitReleaseEffectStrips() { ReleaseEffectStrips(); }

// ---- tray ----

// The last window made: its title is what a second start looks for, and the icon appears only
// once everything it can start exists.
void StartupCreateTray() {
    LockSession& session = TheLockSession();
    CreateTrayWindow(session, session, session);
}

// ---- windows, closed in this order: about, verify, configuration, further-monitor cover,
// lock window, background window, tray owner ----

void ExitCloseWindows() {
    CloseAboutWindow();
    CloseVerifyDialog();
    CloseConfigDialog();   // saves the configuration on its way out
    TheLockSession().FurtherCovers().Destroy();
    TheLockSession().CloseLockWindow();
    TheLockSession().CloseCover();
    CloseTrayWindow();     // takes the icon out of the notification area
}
