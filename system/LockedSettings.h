// The system settings a lock changes besides the policies: the accessibility hot keys, and the
// window property that keeps the screen edges' swipes away from a full-screen window. Both sit
// behind one small role, so tests can stand in for the system (Wine implements neither).
#pragma once

#include <windows.h>

#include <optional>

#include "system/AccessHotKeyPlan.h"

class LockedSettings {
public:
    virtual ~LockedSettings() = default;
    // Whether the feature's hot key is active; nothing when the setting cannot be read.
    virtual std::optional<bool> IsHotKeyActive(AccessFeature feature) = 0;
    // For this session only: the user's profile keeps its value. True when it took effect.
    virtual bool SetHotKeyActive(AccessFeature feature, bool active) = 0;
    // System.EdgeGesture.DisableTouchWhenFullscreen on the window, set or removed.
    virtual bool SetEdgeGesturesBlocked(HWND window, bool blocked) = 0;
};

// The system's own settings.
LockedSettings& SystemLockedSettings();

// Remembers the active hot keys in the lock record (with any a lock before left there), then
// turns them off. Without a record nothing is turned off: the unlock could not give it back.
void TurnOffAccessHotKeys(LockedSettings& settings);
// Turns back on the hot keys the record names and forgets it (a hot key that could not be turned
// on stays in it for the next try). False when there was no record.
bool RestoreAccessHotKeys(LockedSettings& settings);
