// The notice about restrictions a lock could not apply.
#include <gtest/gtest.h>

#include "core/PolicyNotice.h"

TEST(PolicyNotice, BalloonOnceDialogTextFollowsTheLastLock) {
    PolicyNotice notice;
    PolicyFailures failed;
    failed.Add(Policy::NoLogoff);
    EXPECT_EQ(notice.BalloonAfterUnlock(PolicyFailures{}), "");
    EXPECT_EQ(notice.BalloonAfterUnlock(failed), PolicyFailureText(failed));
    EXPECT_EQ(notice.BalloonAfterUnlock(failed), "");
    EXPECT_EQ(notice.Text(), PolicyFailureText(failed));
    notice.BalloonAfterUnlock(PolicyFailures{});
    EXPECT_EQ(notice.Text(), "");
}
