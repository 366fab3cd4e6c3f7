// The start-up and exit steps that other modules of the lock program provide. Main.cpp and
// ExitApplication call them in their fixed order; each module fills in its own body in
// StartupHooks.cpp (one call into the module per step).
#pragma once

// Start-up, in this order.
void StartupRestorePolicies();          // step 14: clear the four lock policies, show the shell
void StartupCreateMonitorCover();       // step 15: further-monitor cover when there are several
void StartupCreateBackgroundWindow();   // step 16: background cover
void StartupCreateMessageWindow();      // step 16: the message window with the hot keys
void StartupCreateLockWindow();         // step 17: the lock window, hidden
void StartupLoadImages();               // step 18: the image table
void StartupLockComputer();             // step 22: only with "/StartupLock"
void StartupCreateTray();               // step 23: the tray owner window and icon
void StartupPrepareEffectStrips();      // step 24: only with Effect on

// ExitApplication, in this order.
void ExitUnregisterHotKeys();           // the message window with the hot keys and atoms
void ExitShowShell();                   // taskbar and desktop icons back
void ExitRestorePolicies();
void ExitFreeImages();                  // the image table
void ExitReleaseEffectStrips();
void ExitCloseWindows();                // about, verify, config, monitor, lock, background, tray
