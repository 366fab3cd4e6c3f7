// The guardian: a second process of the lock program (the same executable, started with
// "/Guardian <pid>") that keeps the session locked when the lock program ends while locked, and
// the lock program's side that keeps a guardian running. Each waits on the other's process
// handle; neither polls.
#pragma once

#include <cstdint>

#include "app/GuardianPlan.h"

// The guardian process's whole life. Waits for that lock program to end; when the "Locked"
// marker says it ended while locked, calls the system's lock and starts the lock program again
// with "/StartupLock" (bounded, see DecideRestart). Returns the exit code.
int RunGuardian(ProcessIdentity locker);

// This process's identity, and the marker's note of which lock program set it.
ProcessIdentity OwnIdentity();
void NoteMarkerOwner();

// The lock program's side: starts a guardian and a thread that starts a new one at once
// whenever it ends (bounded). StopGuardianWatch ends that thread; the guardian then ends by
// itself when this process ends unlocked.
void StartGuardianWatch();
void StopGuardianWatch();
