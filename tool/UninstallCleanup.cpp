// The tool's silent "/Uninstall" job. It reuses the tool's own repair and marker arithmetic, so
// the uninstaller undoes exactly what the programs did, with no second copy of those rules in
// the installer script.
#include "tool/UninstallCleanup.h"

#include <windows.h>

#include <vector>

#include "system/LockRecord.h"
#include "system/LockedSettings.h"
#include "system/StartupText.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/ServiceClient.h"
#include "system/ServiceInstall.h"
#include "system/Text.h"
#include "tool/ToolActions.h"
#include "tool/UserinitMarker.h"

namespace {

constexpr const char kProgramFileName[] = "OrvoPCLock.exe";

void CleanUserinit(const std::string& installedProgram) {
    const RegistryValue stored = ReadRegistryValue(kWinlogonKey, kUserinitValueName);
    if (IsEmptyValue(stored)) return;
    // The text up to its terminator, blanks kept: the rest of the list must survive exactly.
    std::string before = RegistryValueText(stored);
    before = before.substr(0, before.find('\0'));
    const std::string recorded = TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kAppPathValueName)));
    const std::string after = UninstallUserinit(before, installedProgram, recorded);
    if (after == before) return;  // nothing of ours: the value is not rewritten at all
    // A list that held only our marker was created by "/Enable" on a machine without the value;
    // an empty "Userinit" would start nothing at logon, a missing one lets Windows use its own.
    if (after.empty())
        DeleteRegistryValue(kWinlogonKey, kUserinitValueName);
    else
        WriteRegistryValue(kWinlogonKey, kUserinitValueName, after, kRegSz);
}

void RemoveStartupRunValue(const std::string& installedProgram) {
    const std::string present = RegistryValueText(ReadRegistryValue(kRunKey, kRunValueName));
    // A Run value of another copy of the program is not ours to delete.
    if (IsInstalledStartupCommand(present, installedProgram)) DeleteRegistryValue(kRunKey, kRunValueName);
}

}  // namespace

std::string InstalledProgramPath() {
    std::vector<char> buffer(MAX_PATH);
    // GetModuleFileNameA cuts silently at the buffer size, so grow until the path fits.
    while (buffer.size() <= 32768) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            const ExeLocation tool = SplitExePath(std::string(buffer.data(), length));
            if (tool.Folder.empty()) return {};
            return WithTrailingBackslash(tool.Folder) + kProgramFileName;
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

void UninstallCleanup(const std::string& installedProgram) {
    // The same steps as "/Fix" first, so a program that ended abnormally while locked leaves
    // no restriction behind even if a later step fails.
    RestorePolicies();
    RestoreAccessHotKeys(SystemLockedSettings());
    SetRunOnceLock(false, {});
    ShowShell();
    RemoveUnrestrictingPolicies();
    ClearLockRecord();
    CleanUserinit(installedProgram);
    RemoveStartupRunValue(installedProgram);
    // A service guarding a locked session refuses the stop and is only marked for deletion; it
    // keeps its record then, so that it can still give the values back.
    if (RemoveLockService() && !IsLockServiceRunning()) DeleteRegistryValue(kServiceRecordKey, kServiceRecordValue);
}
