// The lock record under HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System. Its values:
//   "Locked"             REG_DWORD 1 while the computer is locked; deleted at unlock. A start that
//                        finds it knows the previous lock program ended without unlocking.
//   "PoliciesBeforeLock" REG_SZ, e.g. "DisableTaskmgr=1;NoLogoff=-;HideFastUserSwitching=0;NoClose=-":
//                        each policy value as it was before the lock set it ("-": there was none).
//                        One value, so a kill can never leave half of it written.
//   "HotKeysBeforeLock"  REG_SZ, e.g. "StickyKeys;HighContrast": the accessibility hot keys that
//                        were on before the lock turned them off, and only those come back.
//   "AlertTimes"         REG_DWORD, the wrong entries counted toward the alarm, so a restart of
//                        the program does not start the count again.
//   "AlertWaits", "AlertWaitEnd"  REG_DWORD, the waits after wrong entries since the first
//                        alarm and the end of the current one, so a restart does not end it.
// The key lives under HKEY_CURRENT_USER, which every account may write, so the record is kept
// even when the policies themselves could not be written.
#include "system/LockRecord.h"

#include <string>

#include "system/Registry.h"
#include "system/Text.h"

namespace {

bool WriteDword(const char* name, int32_t number) {
    return WriteRegistryValue(kAppSystemKey, name, std::to_string(number), kRegDword);
}

bool Delete(const char* name) {
    DeleteRegistryValue(kAppSystemKey, name);
    return IsEmptyValue(ReadRegistryValue(kAppSystemKey, name));
}

}  // namespace

bool SetLockedMarker() { return WriteDword(kLockedValueName, 1); }

bool ClearLockedMarker() { return Delete(kLockedValueName); }

bool IsLockedMarkerSet() {
    // Any number but 0 counts: a marker someone rewrote by hand still means "locked".
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, kLockedValueName);
    const auto* value = std::get_if<int32_t>(&stored);
    return value && *value != 0;
}

std::optional<RememberedPolicies> ReadRememberedPolicies() {
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, kPoliciesBeforeLockValueName);
    if (IsEmptyValue(stored)) return std::nullopt;
    // Text of any other shape (a number, an edited value) still means a lock remembered
    // something; its unreadable entries come back as absent and are restored as 0.
    return DecodeRememberedPolicies(TrimNull(RegistryValueText(stored)));
}

bool WriteRememberedPolicies(const RememberedPolicies& remembered) {
    const std::string text = EncodeRememberedPolicies(remembered);
    if (!WriteRegistryValue(kAppSystemKey, kPoliciesBeforeLockValueName, text, kRegSz)) return false;
    return TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kPoliciesBeforeLockValueName))) == text;
}

void ForgetRememberedPolicies() { Delete(kPoliciesBeforeLockValueName); }

std::optional<AccessHotKeySet> ReadRememberedHotKeys() {
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, kHotKeysBeforeLockValueName);
    if (IsEmptyValue(stored)) return std::nullopt;
    return DecodeAccessHotKeySet(TrimNull(RegistryValueText(stored)));
}

bool WriteRememberedHotKeys(AccessHotKeySet remembered) {
    const std::string text = EncodeAccessHotKeySet(remembered);
    if (!WriteRegistryValue(kAppSystemKey, kHotKeysBeforeLockValueName, text, kRegSz)) return false;
    return TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kHotKeysBeforeLockValueName))) == text;
}

void ForgetRememberedHotKeys() { Delete(kHotKeysBeforeLockValueName); }

int32_t ReadAlertTimes() {
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, kAlertTimesValueName);
    const auto* value = std::get_if<int32_t>(&stored);
    // A negative count (edited by hand) would never reach the alarm.
    return value && *value > 0 ? *value : 0;
}

bool WriteAlertTimes(int32_t count) { return WriteDword(kAlertTimesValueName, count); }

AlertWaits ReadAlertWaits() {
    AlertWaits kept;
    const RegistryValue waits = ReadRegistryValue(kAppSystemKey, kAlertWaitsValueName);
    const RegistryValue end = ReadRegistryValue(kAppSystemKey, kAlertWaitEndValueName);
    const auto* count = std::get_if<int32_t>(&waits);
    const auto* seconds = std::get_if<int32_t>(&end);
    if (!count || *count < 0) return kept;
    kept.Waits = *count;
    // Unsigned: good until 2106.
    kept.End = seconds ? static_cast<int64_t>(static_cast<uint32_t>(*seconds)) : 0;
    return kept;
}

void WriteAlertWaits(const AlertWaits& waits) {
    if (waits.Waits < 0) {
        Delete(kAlertWaitsValueName);
        Delete(kAlertWaitEndValueName);
        return;
    }
    // The end first: a kill between the two leaves a count with an old end, not the reverse.
    WriteDword(kAlertWaitEndValueName, static_cast<int32_t>(static_cast<uint32_t>(waits.End)));
    WriteDword(kAlertWaitsValueName, waits.Waits);
}

void ResetAlertTimes() {
    Delete(kAlertTimesValueName);
    WriteAlertWaits({});
}

void ClearLockRecord() {
    for (const char* name : {kLockedValueName, kPoliciesBeforeLockValueName, kHotKeysBeforeLockValueName,
                             kAlertTimesValueName, kAlertWaitsValueName, kAlertWaitEndValueName,
                             kLockedByValueName, kGuardianRestartsValueName})
        Delete(name);
}
