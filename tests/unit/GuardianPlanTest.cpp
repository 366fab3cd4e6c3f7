// The guardian's switch and its bound on restarts.
#include <gtest/gtest.h>

#include "app/GuardianPlan.h"

TEST(GuardianPlan, SwitchCarriesThePidBothWays) {
    EXPECT_EQ(GuardianPidFromArguments(GuardianArguments(4242)), 4242u);
    EXPECT_EQ(GuardianPidFromArguments("/Guardian"), std::nullopt);
    EXPECT_EQ(GuardianPidFromArguments("/Guardian 12x"), std::nullopt);
    EXPECT_EQ(GuardianPidFromArguments("/StartupLock"), std::nullopt);
}

TEST(GuardianPlan, AtMostThreeRestartsAMinuteThenOnlyTheSystemLock) {
    std::string history;
    for (int i = 0; i < kMaxRestarts; ++i) history = DecideRestart(history, 1000 + i).History;
    EXPECT_FALSE(DecideRestart(history, 1000 + kMaxRestarts).Restart);
    // A minute after the first, one more is allowed; times of an earlier boot do not count.
    EXPECT_TRUE(DecideRestart(history, 1000 + kRestartWindowMs).Restart);
    EXPECT_TRUE(DecideRestart("900000;900001;900002", 5000).Restart);
}
