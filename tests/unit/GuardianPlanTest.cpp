// The guard program's command lines, the guardian's verdict and the bounds on restarts.
#include <gtest/gtest.h>

#include "core/GuardianPlan.h"

TEST(GuardianPlan, CommandLinesCarryRoleAndHandlesBothWays) {
    const GuardCommand intermediate{GuardRole::Intermediate, {0x1f4, 0x2a8}};
    const GuardCommand guardian{GuardRole::Guardian, {0x1f4, 0x2a8}};
    EXPECT_EQ(ParseGuardArguments(GuardArguments(intermediate)), intermediate);
    EXPECT_EQ(ParseGuardArguments(GuardArguments(guardian)), guardian);
    for (const char* bad : {"/Guardian 12", "/Guardian 12 3x", "/Guardian 0 4", "/Intermediate 4 0", "/StartupLock", ""})
        EXPECT_EQ(ParseGuardArguments(bad), std::nullopt) << bad;
}

TEST(GuardianPlan, RelocksOnlyWhenTheLockedProgramEndsOrStopsAnswering) {
    struct Case { bool ended, locked; uint64_t unanswered; GuardianAction action; };
    const Case cases[] = {
        {false, false, 0, GuardianAction::Watch},
        {false, false, 60000, GuardianAction::Watch},   // unlocked, a hang is nobody's business
        {true, false, 0, GuardianAction::StandDown},
        {false, true, kUnansweredLimitMs - 1, GuardianAction::Watch},
        {false, true, kUnansweredLimitMs, GuardianAction::Relock},
        {true, true, 0, GuardianAction::Relock},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideGuardianAction(c.ended, c.locked, c.unanswered), c.action)
            << c.ended << c.locked << " " << c.unanswered;
}

TEST(GuardianPlan, AtMostThreeRestartsAMinuteThenOnlyTheSystemLock) {
    std::string history;
    for (int i = 0; i < kMaxRestarts; ++i) history = DecideRestart(history, 1000 + i).History;
    EXPECT_FALSE(DecideRestart(history, 1000 + kMaxRestarts).Restart);
    // A minute after the first, one more is allowed; times of an earlier boot do not count.
    EXPECT_TRUE(DecideRestart(history, 1000 + kRestartWindowMs).Restart);
    EXPECT_TRUE(DecideRestart("900000;900001;900002", 5000).Restart);
}
