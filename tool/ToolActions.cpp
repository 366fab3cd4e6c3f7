// The jobs behind "/Fix", "/Enable", "/Disable" and the three buttons of the tool's window.
#include "tool/ToolActions.h"

#include <windows.h>

#include <string>

#include "system/LockRecord.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/Text.h"
#include "tool/UserinitMarker.h"

namespace {
void Inform(const char* text) { ShowMessage(text, kAppTitle, MB_ICONINFORMATION); }

std::string ReadTrimmed(const char* path, const char* valueName) {
    return TrimNull(RegistryValueText(ReadRegistryValue(path, valueName)));
}

// WriteRegistryValue also answers 0 when the key could not even be opened, so the tool reads
// the value back: "successfully" must mean the new text is really there.
bool WriteUserinit(const std::string& text) {
    if (WriteRegistryValue(kWinlogonKey, kUserinitValueName, text, kRegSz) != 0) return false;
    return ReadTrimmed(kWinlogonKey, kUserinitValueName) == text;
}
}  // namespace

void FixTroubles() {
    // The remembered values where a lock left a record, 0 where none is left; the marker goes
    // with it, so the next start does not lock again at once.
    RestorePolicies();
    ClearLockedMarker();
    ShowShell();
    Inform("Fix troubles of abnormal program termination successfully");
}

void SetSafeModeLock(bool isEnable) {
    const std::string appPath = ReadTrimmed(kAppSystemKey, kAppPathValueName);
    const std::string marker = SafeModeMarker(appPath);
    const std::string userinit = ReadTrimmed(kWinlogonKey, kUserinitValueName);
    if (isEnable) {
        if (HasMarker(userinit, marker)) {
            Inform("Autolock at Windows startup in Safe Mode enabled");
            return;
        }
        // Winlogon starts exactly the programs of this list: written without the entries it
        // held (a value that is missing or cannot be read), logon would no longer start the
        // user's session at all. And an entry without the program's path starts nothing, so
        // calling it a success would be false. Neither case writes anything.
        const bool canEnable = !appPath.empty() && !userinit.empty();
        Inform(canEnable && WriteUserinit(AddMarker(userinit, marker))
                   ? "Enable autolock at Windows startup in Safe Mode successfully"
                   : "Enable autolock at Windows startup in Safe Mode failed");
    } else {
        if (!HasMarker(userinit, marker)) {
            Inform("Autolock at Windows startup in Safe Mode disabled");
            return;
        }
        Inform(WriteUserinit(RemoveMarker(userinit, marker))
                   ? "Disable autolock at Windows startup in Safe Mode successfully"
                   : "Disable autolock at Windows startup in Safe Mode failed");
    }
}
