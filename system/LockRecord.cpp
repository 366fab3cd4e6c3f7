// The lock record under HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System. Three values:
//   "Locked"             REG_DWORD 1 while the computer is locked; deleted at unlock. A start that
//                        finds it knows the previous lock program ended without unlocking.
//   "PoliciesBeforeLock" REG_SZ, e.g. "DisableTaskmgr=1;NoLogoff=-;HideFastUserSwitching=0;NoClose=-":
//                        each policy value as it was before the lock set it ("-": there was none).
//                        One value, so a kill can never leave half of it written.
//   "AlertTimes"         REG_DWORD, the wrong entries counted toward the alarm, so a restart of
//                        the program does not start the count again.
// The key lives under HKEY_CURRENT_USER, which every account may write, so the record is kept
// even when the policies themselves could not be written.
#include "system/LockRecord.h"

#include <string>

#include "system/Registry.h"
#include "system/Text.h"

namespace {

constexpr int32_t kStatusSuccess = 0;

bool WriteDword(const char* name, int32_t number) {
    // WriteRegistryValue answers 0 also when the key could not be created: read back instead.
    WriteRegistryValue(kAppSystemKey, name, std::to_string(number), kRegDword);
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, name);
    const auto* value = std::get_if<int32_t>(&stored);
    return value && *value == number;
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
    if (WriteRegistryValue(kAppSystemKey, kPoliciesBeforeLockValueName, text, kRegSz) != kStatusSuccess)
        return false;
    return TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kPoliciesBeforeLockValueName))) == text;
}

void ForgetRememberedPolicies() { Delete(kPoliciesBeforeLockValueName); }

int32_t ReadAlertTimes() {
    const RegistryValue stored = ReadRegistryValue(kAppSystemKey, kAlertTimesValueName);
    const auto* value = std::get_if<int32_t>(&stored);
    // A negative count (edited by hand) would never reach the alarm.
    return value && *value > 0 ? *value : 0;
}

bool WriteAlertTimes(int32_t count) { return WriteDword(kAlertTimesValueName, count); }

void ResetAlertTimes() { Delete(kAlertTimesValueName); }

void ClearLockRecord() {
    for (const char* name : {kLockedValueName, kPoliciesBeforeLockValueName, kAlertTimesValueName,
                             kLockedByValueName, kGuardianRestartsValueName})
        Delete(name);
}
