// The policy overlay: an organisation's values over the user's file, never into it.
#include "core/PolicySettings.h"

namespace {

struct Range {
    const char* Name;
    int64_t Min;
    int64_t Max;
};
// The idle time is in minutes (five hours is the longest the dialog offers); the others are
// the dialog's list positions, or 0 / 1.
constexpr std::array<Range, kPolicySettingCount> kRanges = {{
    {"AutoLockTime", 0, 300},
    {"AutoStartLock", 0, 1},
    {"AlertTimes", 0, 7},
    {"AlertMode", 0, 5},
    {"LockKeyboard", 0, 1},
    {"NoTrayExit", 0, 1},
    {"RequireService", 0, 1},
}};

enum class Pick { Unset, Value, Ignored };

Pick Check(const PolicyReading& reading, const Range& range) {
    if (!reading.Present) return Pick::Unset;
    if (!reading.Number || *reading.Number < range.Min || *reading.Number > range.Max) return Pick::Ignored;
    return Pick::Value;
}

// Writes a policy value into the record's field (or takes the field's value back for the file).
void CopySetting(PolicySetting setting, const ConfigData& from, ConfigData& to) {
    switch (setting) {
    case PolicySetting::AutoLockTime: to.AutoLockTime = from.AutoLockTime; break;
    case PolicySetting::AutoStartLock: to.AutoStartLock = from.AutoStartLock; break;
    case PolicySetting::AlertTimes: to.AlertTimes = from.AlertTimes; break;
    case PolicySetting::AlertMode: to.AlertMode = from.AlertMode; break;
    case PolicySetting::LockKeyboard: to.LockKeyboard = from.LockKeyboard; break;
    default: break;   // not in the file
    }
}

void SetField(PolicySetting setting, int32_t value, ConfigData& config) {
    ConfigData from = config;
    switch (setting) {
    case PolicySetting::AutoLockTime: from.AutoLockTime = value * 60; break;
    case PolicySetting::AutoStartLock: from.AutoStartLock = value != 0 ? -1 : 0; break;
    case PolicySetting::AlertTimes: from.AlertTimes = value; break;
    case PolicySetting::AlertMode: from.AlertMode = value; break;
    case PolicySetting::LockKeyboard: from.LockKeyboard = static_cast<int16_t>(value); break;
    default: break;
    }
    CopySetting(setting, from, config);
}

}  // namespace

const char* PolicySettingName(PolicySetting setting) {
    const int index = static_cast<int>(setting);
    return index >= 0 && index < kPolicySettingCount ? kRanges[index].Name : "";
}

void PolicyOverlay::Apply(const PolicyReadings& machine, const PolicyReadings& user, ConfigData& config) {
    fileValues_ = config;
    ignored_ = {};
    for (int i = 0; i < kPolicySettingCount; ++i) {
        const auto setting = static_cast<PolicySetting>(i);
        value_[i].reset();
        for (const PolicyReadings* readings : {&machine, &user}) {
            const PolicyReading& reading = (*readings)[i];
            const Pick pick = Check(reading, kRanges[i]);
            if (pick == Pick::Ignored) ignored_[i] = true;
            if (pick != Pick::Value) continue;
            value_[i] = static_cast<int32_t>(*reading.Number);
            break;
        }
        if (value_[i]) SetField(setting, *value_[i], config);
    }
}

bool PolicyOverlay::AnySet() const {
    for (const auto& value : value_)
        if (value) return true;
    return false;
}

std::optional<bool> PolicyOverlay::StartupLock() const {
    const auto& value = value_[Index(PolicySetting::AutoStartLock)];
    if (!value) return std::nullopt;
    return *value != 0;
}

ConfigData PolicyOverlay::ForFile(const ConfigData& inMemory) const {
    ConfigData saved = inMemory;
    for (int i = 0; i < kPolicySettingCount; ++i)
        if (value_[i]) CopySetting(static_cast<PolicySetting>(i), fileValues_, saved);
    return saved;
}

void PolicyOverlay::Refresh(const PolicyReadings& machine, const PolicyReadings& user, ConfigData& config) {
    config = ForFile(config);
    Apply(machine, user, config);
}

std::string PolicyOverlay::IgnoredNoticeOnce() {
    std::string names;
    for (int i = 0; i < kPolicySettingCount; ++i) {
        if (!ignored_[i] || said_[i]) continue;
        said_[i] = true;
        names += (names.empty() ? "" : ", ") + std::string(kRanges[i].Name);
    }
    return names.empty() ? names : "Policy values out of range were ignored: " + names + ".";
}
