// The lock program's state that the system actions read and clear (the keyboard hook, the idle
// measurement, the monitor switch-off). The variables belong to the lock program; this library
// is shared with the maintenance tool and must not depend on it, so the program hands over
// their addresses once. Pure: no platform headers.
#pragma once

#include <cstdint>

struct LockStateRefs {
    bool* IsMonitorOff = nullptr;
    uint32_t* LastInputTick = nullptr;
    const uint32_t* LastActiveTick = nullptr;
    const int32_t* CurrentUnlockMode = nullptr;
};

// Any member may be null: readers then see false / 0 and writes are dropped.
void BindLockState(const LockStateRefs& refs);
const LockStateRefs& BoundLockState();
