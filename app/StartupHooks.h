// The start-up and exit steps WinMain and ExitApplication take in their fixed order, one call
// into a window or system module each; tests and benchmarks start the program's windows with
// the same steps.
#pragma once

// Start-up, in this order.
void StartupRestorePolicies();          // clear the four lock policies, show the shell
void StartupCreateMonitorCover();       // further-monitor cover when there are several
void StartupCreateBackgroundWindow();   // background cover
void StartupCreateMessageWindow();      // the message window with the hot keys
void StartupCreateLockWindow();         // the lock window, hidden
void StartupLoadImages();               // the image table
void StartupLockComputer();             // only with "/StartupLock"
void StartupCreateTray();               // the tray owner window and icon

// ExitApplication, in this order.
void ExitUnregisterHotKeys();           // the message window with the hot keys and atoms
void ExitShowShell();                   // taskbar and desktop icons back
void ExitRestorePolicies();
void ExitFreeImages();                  // the image table
void ExitReleaseEffectStrips();
void ExitCloseWindows();                // about, verify, config, monitor, lock, background, tray
