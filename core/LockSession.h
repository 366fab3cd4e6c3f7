// The one procedure that moves the program between unlocked and locked.
#pragma once

// Locks (isLock true) or unlocks. isStartup suppresses the closing animation of a lock made
// at program start. A lock request while already locked or while a transition runs is ignored.
void LockComputer(bool isLock, bool isStartup);
