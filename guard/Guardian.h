// The guard program's two roles: the short-lived intermediate that starts the guardian outside
// the lock program's process tree, and the guardian that keeps the session locked when the lock
// program ends or stops answering while locked.
#pragma once

#include "core/GuardianPlan.h"

// Starts the guardian with the inherited handles and ends; the exit code is the guardian's
// process handle as the lock program now holds it, or kIntermediateFailed.
int RunIntermediate(const GuardHandles& handles);
inline constexpr int kIntermediateFailed = 1;

// Watches the lock program until it ends unlocked (exit code 0), or relocks and starts it again
// when it ends or stops answering while locked.
int RunGuardian(const GuardHandles& handles);
