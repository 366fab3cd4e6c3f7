// Settings an organisation sets by policy: which of them the registry sets, their ranges, how
// they override the settings file, and what the file gets back when the record is saved.
// Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/ConfigData.h"

enum class PolicySetting { AutoLockTime, AutoStartLock, AlertTimes, AlertMode, LockKeyboard, NoTrayExit,
                           RequireService, Count };
inline constexpr int kPolicySettingCount = static_cast<int>(PolicySetting::Count);

// Registry value names, in the order of PolicySetting.
const char* PolicySettingName(PolicySetting setting);

// One value as the registry holds it: missing, a number (REG_DWORD), or anything else.
struct PolicyReading {
    bool Present = false;
    std::optional<int64_t> Number;   // empty for a value of another type
};
using PolicyReadings = std::array<PolicyReading, kPolicySettingCount>;

class PolicyOverlay {
public:
    // The machine's policy wins over the account's; a value out of range, or of another type,
    // counts as not set and is remembered for the one notice. `config` is what the file (or
    // the defaults) gave; the settings the policy sets are overwritten in it.
    void Apply(const PolicyReadings& machine, const PolicyReadings& user, ConfigData& config);
    // Apply again on a record the overlay already ruled: the file's own values come back first,
    // so a policy that went away leaves the user's choice and a changed one takes its place.
    void Refresh(const PolicyReadings& machine, const PolicyReadings& user, ConfigData& config);

    bool IsSet(PolicySetting setting) const { return value_[Index(setting)].has_value(); }
    bool AnySet() const;
    bool NoTrayExit() const { return Flag(PolicySetting::NoTrayExit); }
    bool RequireService() const { return Flag(PolicySetting::RequireService); }
    // What the startup lock policy asks for, when it is set.
    std::optional<bool> StartupLock() const;

    // The record as the file must get it: the policy's values replaced by those the file had.
    ConfigData ForFile(const ConfigData& inMemory) const;

    // "" or the names of the values that were ignored, each name once in the program's run:
    // the readings come again at every lock and every minute, the notice does not.
    std::string IgnoredNoticeOnce();

private:
    static int Index(PolicySetting setting) { return static_cast<int>(setting); }
    bool Flag(PolicySetting setting) const { return value_[Index(setting)].value_or(0) != 0; }

    std::array<std::optional<int32_t>, kPolicySettingCount> value_{};
    ConfigData fileValues_{};
    std::array<bool, kPolicySettingCount> ignored_{};
    std::array<bool, kPolicySettingCount> said_{};
};
