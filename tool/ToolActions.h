// The maintenance tool's two jobs: undo the restrictions an abnormally ended lock left behind,
// and add or remove the Winlogon entry that locks at logon even in safe mode.
#pragma once

inline constexpr const char kWinlogonKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr const char kUserinitValueName[] = "Userinit";
inline constexpr const char kAppPathValueName[] = "APP_PATH";

// Policies restored, locked marker cleared, shell shown, then the success message (whatever the platform said).
void FixTroubles();

// Appends (true) or removes (false) the safe-mode marker in "Userinit" and reports the outcome.
// Enabling writes nothing, and says it failed, when the program path or the list is unknown.
void SetSafeModeLock(bool isEnable);
