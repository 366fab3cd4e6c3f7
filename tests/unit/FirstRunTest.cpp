// The first-run decision.
#include <gtest/gtest.h>

#include "core/FirstRun.h"

TEST(FirstRun, NewAccountsAndRequestedFreshStartsOnly) {
    struct Case {
        const char* firstRun;
        bool file, values, isFirst, deletes;
    } cases[] = {
        {"", false, false, true, false},   // never seen: new, not lost
        {"", false, true, false, false},   // values but no file: lost
        {"", true, false, false, false},   // a file of its own
        {"1", true, true, false, false},
        {"0", true, true, true, true},     // asked for from outside
        {"0", false, true, true, true},
    };
    for (const Case& c : cases) {
        const FirstRunDecision d = DecideFirstRun({c.firstRun, c.file, c.values});
        EXPECT_EQ(d.IsFirstRun, c.isFirst) << c.firstRun << c.file << c.values;
        EXPECT_EQ(d.DeleteFile, c.deletes) << c.firstRun << c.file << c.values;
    }
    EXPECT_TRUE(MachineChoiceIsOn("1"));
    EXPECT_FALSE(MachineChoiceIsOn("0"));
    EXPECT_FALSE(MachineChoiceIsOn(""));
}
