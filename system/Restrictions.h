// The restrictions a lock puts on the session: the policy values that disable Task Manager, fast
// user switching and log-off, the hidden taskbar and desktop icons, and the per-user Run entry
// that starts the lock program with an immediate lock. Shared by both programs.
#pragma once

#include <cstdint>
#include <string>

#include "system/PolicyRecord.h"

inline constexpr const char kPoliciesSystemUserKey[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char kPoliciesSystemMachineKey[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char kPoliciesExplorerUserKey[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char kRunKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char kRunValueName[] = "Orvo PC Lock";
inline constexpr const char kRunOnceKey[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// The leading "*" makes Windows run it in Safe Mode too.
inline constexpr const char kRunOnceValueName[] = "*Orvo PC Lock";

// Remembers the four values as they are (unless a lock already remembered them), then sets
// "DisableTaskmgr", "HideFastUserSwitching" and "NoLogoff" to 1. Returns the policies that are not
// in force afterwards, for the message built by PolicyFailureText.
PolicyFailures ApplyPolicies();
// The policies a lock sets that do not hold 1 now (after the lock service applied them).
PolicyFailures PoliciesNotInForce();
// The policies this account could not set itself: those whose key it may not write (a key
// that did not exist may be left behind, empty).
PolicyFailures ProbePolicyWrites();
// Unlock, exit, shutdown, the tool's "/Fix" and the uninstaller: each value a lock sets that
// still holds the lock's 1 gets back what the lock remembered (0 when it was absent),
// and the record is forgotten; values the lock did not set, and everything when nothing is
// remembered, stay as they are.
void RestorePolicies();
// The same; true when there was something to restore.
bool RestorePoliciesIfRemembered();
// Deletes those of the four values that hold 0 (the uninstaller's clean-up: a 0 is what a
// restore writes for a value that was absent); a value that restricts stays.
void RemoveUnrestrictingPolicies();

// The writer every policy write goes through (WriteRegistryValue's signature and status), so
// tests can make a write fail; nullptr restores WriteRegistryValue. Returns the previous one.
using PolicyWriter = bool (*)(const std::string& path, const std::string& valueName, const std::string& data,
                                 int32_t valueType);
PolicyWriter SetPolicyWriter(PolicyWriter writer);

// Hides (true) or shows the taskbar, the start button window and the desktop icon view; does
// nothing when the lock uses the transparent background.
void HideShell(bool isHide, bool transparentBackground);
void HideTaskbar(bool isHide);
// Hides every visible taskbar: the primary one (Shell_TrayWnd) and those of further monitors
// (Shell_SecondaryTrayWnd). True when one was visible. Windows 11 shows a hidden taskbar again
// by itself, so the watchdog calls this while locked.
bool HideTaskbars();
// Shows every taskbar again.
void ShowTaskbars();
void HideDesktopIcons(bool isHide);
// The maintenance tool's repair: icon view restored, taskbar and start button shown.
void ShowShell();

// The Run command line: appPath (ending in '\') + exeName + ".exe /StartupLock".
std::string StartupLockCommand(const std::string& appPath, const std::string& exeName);
// True when the Run value holds exactly this program's command line.
bool IsStartupLockOn(const std::string& appPath, const std::string& exeName);
// Creates or deletes the Run value; true when it now holds exactly this program's command line
// (read back: so a refused write or delete, or a value of another copy, shows as it is).
bool SetStartupLock(bool isEnable, const std::string& appPath, const std::string& exeName);

// While locked: the RunOnce value that starts the program with "/StartupLock" at the next logon,
// even with the Run entry off. exePath: the program's full path. True when it is now as asked.
bool SetRunOnceLock(bool isSet, const std::string& exePath);
