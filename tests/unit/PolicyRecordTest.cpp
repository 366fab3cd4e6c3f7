// The remembered policy values as text, and the wording of the "not disabled" message.
#include "system/PolicyRecord.h"

#include <gtest/gtest.h>

TEST(PolicyRecord, RoundTripsAndReadsUnreadableEntriesAsAbsent) {
    const RememberedPolicies remembered = {1u, std::nullopt, 0u, 0xFFFFFFFFu};
    const std::string text = EncodeRememberedPolicies(remembered);
    EXPECT_EQ(text, "DisableTaskmgr=1;NoLogoff=-;HideFastUserSwitching=0;NoClose=4294967295");
    EXPECT_EQ(DecodeRememberedPolicies(text), remembered);
    // Unreadable entries come back absent.
    EXPECT_EQ(DecodeRememberedPolicies("NoClose=7;DisableTaskmgr=x1;junk;NoLogoff="),
              (RememberedPolicies{std::nullopt, std::nullopt, std::nullopt, 7u}));
}

TEST(PolicyRecord, FailureTextNamesEachPolicyOnceInOrder) {
    PolicyFailures failures;
    EXPECT_EQ(PolicyFailureText(failures), "");
    failures.Add(Policy::HideFastUserSwitching);
    EXPECT_EQ(PolicyFailureText(failures),
              "Switch user was not disabled during the lock and stayed available from Ctrl+Alt+Del: changing this "
              "setting needs administrator rights.");
    failures.Add(Policy::NoLogoff);
    failures.Add(Policy::DisableTaskmgr);
    EXPECT_EQ(PolicyFailureText(failures),
              "Task Manager, Sign out and Switch user were not disabled during the lock and stayed available from "
              "Ctrl+Alt+Del: changing these settings needs administrator rights.");
}
