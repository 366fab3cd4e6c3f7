// Reading the policy keys. A value of another type than a number (text, bytes, a 64-bit number,
// a text too long to read) is handed on as present without a number, so the overlay can say it
// was ignored; a key that cannot be read is as good as no policy.
#include "core/PolicyRegistry.h"

#include <variant>

#include "system/Registry.h"

namespace {

PolicyReadings ReadPolicies(const char* key) {
    PolicyReadings readings{};
    // Read at every lock and every minute: a machine without policies costs one look per key.
    if (!RegistryKeyHasContent(key)) return readings;
    for (int i = 0; i < kPolicySettingCount; ++i) {
        const char* name = PolicySettingName(static_cast<PolicySetting>(i));
        const RegistryValue value = ReadRegistryValue(key, name);
        if (IsEmptyValue(value) && !RegistryValueExists(key, name)) continue;
        readings[i].Present = true;
        // A REG_DWORD is unsigned: a value above the signed range reads negative and is out of range.
        if (const auto* number = std::get_if<int32_t>(&value)) readings[i].Number = *number;
    }
    return readings;
}

}  // namespace

PolicyOverlay& ThePolicyOverlay() {
    static PolicyOverlay overlay;
    return overlay;
}

void ApplyPolicySettings(ConfigData& config) {
    ThePolicyOverlay().Apply(ReadPolicies(kMachinePolicyKey), ReadPolicies(kUserPolicyKey), config);
}

void RefreshPolicySettings(ConfigData& config) {
    ThePolicyOverlay().Refresh(ReadPolicies(kMachinePolicyKey), ReadPolicies(kUserPolicyKey), config);
}
