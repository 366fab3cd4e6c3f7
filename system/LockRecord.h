// What a lock keeps in the registry so that it outlives the lock program: whether the computer
// is locked, the policy values as they were before the lock applied them, and the count of wrong
// entries toward the alarm. Shared by both programs (the tool's "/Fix" and the uninstaller clear
// it).
#pragma once

#include <cstdint>
#include <optional>

#include "system/AccessHotKeyPlan.h"
#include "system/PolicyRecord.h"

// Value names under kAppSystemKey (HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System).
inline constexpr const char kLockedValueName[] = "Locked";
inline constexpr const char kPoliciesBeforeLockValueName[] = "PoliciesBeforeLock";
inline constexpr const char kAlertTimesValueName[] = "AlertTimes";
// Kept with it: the waits after wrong entries since the first alarm, and when the current one
// ends (seconds since 1970, UTC).
inline constexpr const char kAlertWaitsValueName[] = "AlertWaits";
inline constexpr const char kAlertWaitEndValueName[] = "AlertWaitEnd";
inline constexpr const char kHotKeysBeforeLockValueName[] = "HotKeysBeforeLock";
// Which lock program set the marker (app/Guardian.cpp; a note only, no program decides by it),
// and the recent relaunches that bound the guardian's restarts (guard/Guardian.cpp).
inline constexpr const char kLockedByValueName[] = "LockedBy";
inline constexpr const char kGuardianRestartsValueName[] = "GuardianRestarts";

// The locked marker. True when the write (or the delete) took effect.
bool SetLockedMarker();
bool ClearLockedMarker();
bool IsLockedMarkerSet();

// The policy values remembered before a lock, or nothing when no lock has remembered any.
std::optional<RememberedPolicies> ReadRememberedPolicies();
bool WriteRememberedPolicies(const RememberedPolicies& remembered);
void ForgetRememberedPolicies();

// The accessibility hot keys a lock turned off, or nothing when no lock has turned any off.
std::optional<AccessHotKeySet> ReadRememberedHotKeys();
bool WriteRememberedHotKeys(AccessHotKeySet remembered);
void ForgetRememberedHotKeys();

// The count of wrong entries toward the alarm; 0 when none is kept.
int32_t ReadAlertTimes();
bool WriteAlertTimes(int32_t count);
// The waits since the first alarm (-1 when none is kept) and the end of the current one.
struct AlertWaits {
    int32_t Waits = -1;
    int64_t End = 0;
};
AlertWaits ReadAlertWaits();
void WriteAlertWaits(const AlertWaits& waits);
// The count and the waits gone (a right entry).
void ResetAlertTimes();

// The whole record deleted, the guardian's values included (the uninstaller's clean-up).
void ClearLockRecord();
