// The guardian's switch and its bound on restarts.
#include <gtest/gtest.h>

#include "app/GuardianPlan.h"

TEST(GuardianPlan, SwitchCarriesTheLockProgramsIdentityBothWays) {
    const ProcessIdentity locker{4242, 133456789012345678u};
    EXPECT_EQ(GuardianLockerFromArguments(GuardianArguments(locker)), locker);
    EXPECT_EQ(GuardianLockerFromArguments("/Guardian 12"), std::nullopt);
    EXPECT_EQ(GuardianLockerFromArguments("/Guardian 12 3x"), std::nullopt);
    EXPECT_EQ(GuardianLockerFromArguments("/StartupLock"), std::nullopt);
}

TEST(GuardianPlan, AtMostThreeRestartsAMinuteThenOnlyTheSystemLock) {
    std::string history;
    for (int i = 0; i < kMaxRestarts; ++i) history = DecideRestart(history, 1000 + i).History;
    EXPECT_FALSE(DecideRestart(history, 1000 + kMaxRestarts).Restart);
    // A minute after the first, one more is allowed; times of an earlier boot do not count.
    EXPECT_TRUE(DecideRestart(history, 1000 + kRestartWindowMs).Restart);
    EXPECT_TRUE(DecideRestart("900000;900001;900002", 5000).Restart);
}
