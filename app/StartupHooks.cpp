// One body per start-up or exit step that another module provides. Until a module lands its
// step does nothing.
#include "app/StartupHooks.h"

#include "configui/FrmConfig.h"
#include "core/AppState.h"
#include "app/LockSession.h"
#include "app/MessageWindow.h"
#include "cover/FrmBackground.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/FrmPattern.h"
#include "lockscreen/FrmVerify.h"
#include "ui/ImageTable.h"
#include "system/Restrictions.h"
#include "tray/FrmAbout.h"
#include "tray/FrmTray.h"

// ---- restrictions (policies, shell) ----

// A process that ended while locked (killed, crashed) left the policies set and, with a picture
// background, the taskbar and the desktop icons hidden. The lock they belonged to is gone, and
// nothing else would bring the shell back short of the maintenance tool, so both are undone.
void StartupRestorePolicies() {
    RestorePolicies();
    ShowShell();
}

void ExitShowShell() { HideShell(false, Config.TransparentBackground == 1); }

void ExitRestorePolicies() { RestorePolicies(); }

// ---- monitors and covers ----

void StartupCreateMonitorCover() { CreateMonitorCovers(); }

void StartupCreateBackgroundWindow() { CreateBackgroundWindow(GetModuleHandleA(nullptr)); }

// ---- hot keys ----

void StartupCreateMessageWindow() { CreateMessageWindow(); }

void ExitUnregisterHotKeys() { CloseMessageWindow(); }

// ---- lock window and images ----

void StartupCreateLockWindow() { CreateLockWindow(GetModuleHandleA(nullptr)); }

void StartupLoadImages() { LoadImages(nullptr); }

void ExitFreeImages() { FreeImages(); }

// ---- lock session ----

void StartupLockComputer() { LockComputer(true, true); }

// ---- effects ----

void StartupPrepareEffectStrips() { PrepareEffectStrips(); }

void ExitReleaseEffectStrips() { ReleaseEffectStrips(); }

// ---- tray ----

// The last window made: its title is what a second start looks for, and the icon appears only
// once everything it can start exists.
void StartupCreateTray() { CreateTrayWindow(); }

// ---- windows, closed in this order: about, verify, configuration, further-monitor cover,
// lock window, background window, tray owner ----

void ExitCloseWindows() {
    CloseAboutWindow();
    CloseVerifyDialog();
    CloseConfigDialog();   // saves the configuration on its way out
    DestroyMonitorCovers();
    CloseLockWindow();
    CloseBackgroundWindow();
    CloseTrayWindow();     // takes the icon out of the notification area
}
