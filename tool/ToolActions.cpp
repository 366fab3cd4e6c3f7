// The jobs behind "/Fix", "/Enable", "/Disable" and the three buttons of the tool's window.
#include "tool/ToolActions.h"

#include <windows.h>

#include <string>

#include "system/LockRecord.h"
#include "system/LockedSettings.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/Text.h"
#include "tool/UninstallCleanup.h"
#include "tool/UserinitMarker.h"

namespace {
void Inform(const char* text) { ShowMessage(text, kAppTitle, MB_ICONINFORMATION); }

std::string ReadTrimmed(const char* path, const char* valueName) {
    return TrimNull(RegistryValueText(ReadRegistryValue(path, valueName)));
}

// Read back as well: "successfully" must mean the new text is really there, whatever else
// (a policy, another program) may do to the value.
bool WriteUserinit(const std::string& text) {
    if (!WriteRegistryValue(kWinlogonKey, kUserinitValueName, text, kRegSz)) return false;
    return ReadTrimmed(kWinlogonKey, kUserinitValueName) == text;
}
}  // namespace

void FixTroubles() {
    // The remembered values where a lock left a record, and the accessibility hot keys it
    // turned off; the marker and the RunOnce value go with them, so neither the next start nor
    // the next logon locks again at once.
    RestorePolicies();
    RestoreAccessHotKeys(SystemLockedSettings());
    ClearLockedMarker();
    SetRunOnceLock(false, {});
    ShowShell();
    Inform("Fix troubles of abnormal program termination successfully");
}

void SetSafeModeLock(bool isEnable) { SetSafeModeLock(isEnable, InstalledProgramPath()); }

// The entry is built from the program beside the tool, never from "APP_PATH": that value lies
// under HKEY_CURRENT_USER, where any program of the user can write a command that this
// elevated tool would then put into every account's logon.
void SetSafeModeLock(bool isEnable, const std::string& installedProgram) {
    const std::string userinit = ReadTrimmed(kWinlogonKey, kUserinitValueName);
    if (isEnable) {
        if (HasOwnMarker(userinit, installedProgram)) {
            Inform("Autolock at Windows startup in Safe Mode enabled");
            return;
        }
        // Winlogon starts exactly the programs of this list: written without the entries it
        // held (a value that is missing or cannot be read), logon would no longer start the
        // user's session at all. And an entry that names no program starts nothing, so
        // calling it a success would be false. Neither case writes anything.
        const std::string marker = InstalledSafeModeMarker(installedProgram);
        const DWORD attributes = GetFileAttributesA(TrimNull(installedProgram).c_str());
        const bool programThere = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        const bool canEnable = !marker.empty() && programThere && !userinit.empty();
        Inform(canEnable && WriteUserinit(AddMarker(userinit, marker))
                   ? "Enable autolock at Windows startup in Safe Mode successfully"
                   : "Enable autolock at Windows startup in Safe Mode failed");
    } else {
        if (!HasOwnMarker(userinit, installedProgram)) {
            Inform("Autolock at Windows startup in Safe Mode disabled");
            return;
        }
        Inform(WriteUserinit(TrimNull(CutOwnMarkers(userinit, installedProgram)))
                   ? "Disable autolock at Windows startup in Safe Mode successfully"
                   : "Disable autolock at Windows startup in Safe Mode failed");
    }
}
