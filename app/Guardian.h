// The lock program's side of its guardian (the guard program, see guard/Guardian.h): it starts
// one through a short-lived intermediate, so that the guardian is no descendant of this
// process, tells it "locked" and "unlocked" through an event only the two hold, and starts a
// new one whenever it ends (bounded; past the bound Windows' own lock stands in for it).
#pragma once

// The marker's note of which lock program set it ("LockedBy").
void NoteMarkerOwner();

// Starts the first guardian and a thread that keeps one running. StopGuardianWatch ends that
// thread; the guardian then ends by itself when this process ends unlocked.
void StartGuardianWatch();
void StopGuardianWatch();

// What the guardian hears: true at the start of every lock, false at the end of every unlock.
void TellGuardianLocked(bool isLocked);
