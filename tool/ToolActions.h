// The maintenance tool's two jobs: undo the restrictions an abnormally ended lock left behind,
// and add or remove the Winlogon entry that locks at logon even in safe mode.
#pragma once

#include <string>

inline constexpr const char kWinlogonKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char kUserinitValueName[] = "Userinit";
inline constexpr const char kAppPathValueName[] = "APP_PATH";

// Policies restored, locked marker cleared, shell shown, then the success message (whatever the platform said).
void FixTroubles();

// Appends (true) or removes (false) the safe-mode marker of the lock program beside the tool in
// "Userinit" and reports the outcome. Enabling writes nothing, and says it failed, when that
// program is missing, its path holds a comma, or the list is unknown.
void SetSafeModeLock(bool isEnable);
// The same for the lock program at installedProgram (tests name one).
void SetSafeModeLock(bool isEnable, const std::string& installedProgram);
