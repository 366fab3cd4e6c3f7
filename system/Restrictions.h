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

// Remembers the four values as they are (unless a lock already remembered them), then sets
// "DisableTaskmgr", "HideFastUserSwitching" and "NoLogoff" to 1. Returns the policies that are not
// in force afterwards, for the message built by PolicyFailureText.
PolicyFailures ApplyPolicies();
// Unlock, exit, shutdown and the tool's "/Fix": writes back the remembered values of all four (a
// value that was absent or 0 as 0) and forgets them; with nothing remembered sets all four to 0.
void RestorePolicies();
// The repair at start: as RestorePolicies when a lock remembered values, nothing otherwise.
// True when there was something to restore.
bool RestorePoliciesIfRemembered();

// The writer every policy write goes through (WriteRegistryValue's signature and status), so
// tests can make a write fail; nullptr restores WriteRegistryValue. Returns the previous one.
using PolicyWriter = int32_t (*)(const std::string& path, const std::string& valueName, const std::string& data,
                                 int32_t valueType);
PolicyWriter SetPolicyWriter(PolicyWriter writer);
// Deletes those four values (the uninstaller's clean-up; a missing value means "not restricted").
void RemovePolicies();

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
// Creates or deletes the Run value; 1 when it now holds exactly this program's command line.
int32_t SetStartupLock(bool isEnable, const std::string& appPath, const std::string& exeName);
