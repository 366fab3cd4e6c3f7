// What a lock keeps in the registry so that it outlives the lock program: whether the computer
// is locked, the policy values as they were before the lock applied them, and the count of wrong
// entries toward the alarm. Shared by both programs (the tool's "/Fix" and the uninstaller clear
// it).
#pragma once

#include <cstdint>
#include <optional>

#include "system/PolicyRecord.h"

// Value names under kAppSystemKey (HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System).
inline constexpr const char kLockedValueName[] = "Locked";
inline constexpr const char kPoliciesBeforeLockValueName[] = "PoliciesBeforeLock";
inline constexpr const char kAlertTimesValueName[] = "AlertTimes";
// Written by the lock program's guardian (see app/Guardian.cpp): which lock program set the
// marker, and the recent relaunches that bound its restarts.
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

// The count of wrong entries toward the alarm; 0 when none is kept.
int32_t ReadAlertTimes();
bool WriteAlertTimes(int32_t count);
void ResetAlertTimes();

// The whole record deleted, the guardian's values included (the uninstaller's clean-up).
void ClearLockRecord();
