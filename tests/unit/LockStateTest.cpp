// The lock cycle's transitions, one row per phase and request.
#include "core/LockState.h"

#include <gtest/gtest.h>

struct LockStateTestAccess {
    static void SetPhase(LockState& state, LockPhase phase) { state.phase_ = phase; }
    // What the session does: the request's Begin, and when the steps run, its Finish (a lock's
    // Finish may hand on to an unlock asked for meanwhile).
    static bool Request(LockState& state, bool isLock) {
        if (isLock) {
            if (!state.BeginLock(0)) return false;
            if (!state.FinishLock()) return true;
        }
        if (!state.BeginUnlock()) return false;
        state.FinishUnlock();
        return true;
    }
    static bool FinishLock(LockState& state) { return state.FinishLock(); }
};

namespace {

using Access = LockStateTestAccess;

struct Row {
    LockPhase from;
    bool isLock;
    bool runs;          // the request's steps run now
    LockPhase after;    // where the request leaves the cycle
    bool unlockAfterLock;   // the lock under way unlocks as soon as it is complete
};

TEST(LockState, RequestsInEveryPhase) {
    const Row rows[] = {
        {LockPhase::Unlocked, true, true, LockPhase::Locked, false},
        {LockPhase::Unlocked, false, true, LockPhase::Unlocked, false},   // puts shell and policies back
        {LockPhase::Locked, true, false, LockPhase::Locked, false},       // a lock over a lock
        {LockPhase::Locked, false, true, LockPhase::Unlocked, false},
        {LockPhase::Locking, true, false, LockPhase::Locking, false},
        {LockPhase::Locking, false, false, LockPhase::Locking, true},     // kept, runs after the lock
        {LockPhase::Unlocking, true, false, LockPhase::Unlocking, false},
        {LockPhase::Unlocking, false, false, LockPhase::Unlocking, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.from) << (row.isLock ? " lock" : " unlock"));
        LockState state;
        Access::SetPhase(state, row.from);
        EXPECT_EQ(Access::Request(state, row.isLock), row.runs);
        EXPECT_EQ(state.Phase(), row.after);
        if (row.from == LockPhase::Locking) EXPECT_EQ(Access::FinishLock(state), row.unlockAfterLock);
    }
}

}  // namespace
