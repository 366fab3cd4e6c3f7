// The one procedure that moves the program between unlocked and locked.
#pragma once

// Locks (isLock true) or unlocks. isStartup suppresses the closing animation of a lock made
// at program start. A lock request while already locked or while a transition runs is ignored;
// an unlock requested while a lock is being put up runs once that lock is complete.
void LockComputer(bool isLock, bool isStartup);
