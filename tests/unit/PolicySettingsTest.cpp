// Policy values over the settings file.
#include <gtest/gtest.h>

#include "core/PolicySettings.h"

namespace {
PolicyReadings With(std::initializer_list<std::pair<PolicySetting, PolicyReading>> values) {
    PolicyReadings readings{};
    for (const auto& [setting, reading] : values) readings[static_cast<int>(setting)] = reading;
    return readings;
}
PolicyReading Number(int64_t n) { return {true, n}; }
}  // namespace

TEST(PolicySettings, MachineOverUserOverFileNeverIntoTheFile) {
    ConfigData file;
    file.AutoLockTime = 180;
    file.AlertMode = 1;
    file.AlertTimes = 3;
    file.LockKeyboard = 0;
    ConfigData config = file;
    PolicyOverlay overlay;
    overlay.Apply(With({{PolicySetting::AutoLockTime, Number(10)}, {PolicySetting::NoTrayExit, Number(1)}}),
                  With({{PolicySetting::AutoLockTime, Number(2)}, {PolicySetting::LockKeyboard, Number(1)},
                        {PolicySetting::AutoStartLock, Number(1)}}),
                  config);
    EXPECT_EQ(config.AutoLockTime, 600);
    EXPECT_EQ(config.LockKeyboard, 1);
    EXPECT_EQ(config.AutoStartLock, -1);
    EXPECT_EQ(config.AlertMode, 1);
    EXPECT_TRUE(overlay.NoTrayExit());
    EXPECT_FALSE(overlay.RequireService());
    EXPECT_FALSE(overlay.IsSet(PolicySetting::AlertMode));
    EXPECT_EQ(overlay.StartupLock(), std::optional<bool>(true));
    // The user changes what is left to them; the file keeps its own values of the rest.
    config.AlertTimes = 5;
    ConfigData expected = file;
    expected.AlertTimes = 5;
    EXPECT_EQ(overlay.ForFile(config), expected);
    EXPECT_EQ(overlay.IgnoredNoticeOnce(), "");
}

TEST(PolicySettings, OutOfRangeOrWrongTypeIsIgnoredAndSaidOnce) {
    ConfigData config;
    config.AlertMode = 2;
    config.AlertTimes = 3;
    PolicyOverlay overlay;
    overlay.Apply(With({{PolicySetting::AlertMode, Number(6)}, {PolicySetting::AlertTimes, Number(-1)},
                        {PolicySetting::AutoLockTime, Number(301)}, {PolicySetting::RequireService, {true, {}}}}),
                  With({{PolicySetting::AlertMode, Number(4)}, {PolicySetting::AlertTimes, Number(1LL << 40)}}),
                  config);
    EXPECT_EQ(config.AlertMode, 4) << "the account's valid value stands in for the machine's bad one";
    EXPECT_EQ(config.AlertTimes, 3);
    EXPECT_FALSE(overlay.IsSet(PolicySetting::AutoLockTime));
    EXPECT_FALSE(overlay.RequireService());
    EXPECT_EQ(overlay.IgnoredNoticeOnce(),
              "Policy values out of range were ignored: AutoLockTime, AlertTimes, AlertMode, RequireService.");
    EXPECT_EQ(overlay.IgnoredNoticeOnce(), "");
    // Read again at a lock: a name said is not said again, a new one is; a policy gone hands
    // the setting back to the file's value.
    overlay.Refresh(With({{PolicySetting::AlertMode, Number(6)}, {PolicySetting::LockKeyboard, {true, {}}}}), {}, config);
    EXPECT_EQ(overlay.IgnoredNoticeOnce(), "Policy values out of range were ignored: LockKeyboard.");
    EXPECT_EQ(config.AlertMode, 2);
    PolicyOverlay none;
    ConfigData untouched = config;
    none.Apply({}, {}, untouched);
    EXPECT_EQ(untouched, config);
    EXPECT_FALSE(none.AnySet());
}
