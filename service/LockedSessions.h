// The lock service's own record of locked sessions: who locked each one, the user's policy
// values as they were before, and the machine-wide values as they were before the first of them.
// Machine-wide values are counted per locked session: applied with the first, restored with the
// last. Also the bound on relocks. Pure: no platform headers, unit-tested and fuzzed natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/PolicyRecord.h"

// Who asked, as the pipe (not the message) tells it.
struct ServiceClient {
    uint32_t SessionId = 0;
    std::string UserSid;
    uint32_t ProcessId = 0;
    uint64_t ProcessCreated = 0;   // creation time (FILETIME as one number)
    bool operator==(const ServiceClient&) const = default;
};

struct LockedSession {
    ServiceClient Holder;          // the lock program the service guards
    bool HolderConfirmed = false;  // false: a relock the service started has not said "locked" yet
    RememberedPolicies UserBefore; // the user's values before the lock (user-wide slots only)
    std::vector<uint64_t> RelocksMs;   // recent relocks, for the bound (not kept over a restart)
    bool operator==(const LockedSession& other) const {
        return Holder == other.Holder && HolderConfirmed == other.HolderConfirmed && UserBefore == other.UserBefore;
    }
};

enum class LockVerdict {
    Start,     // a new locked session: read the values, Add, then apply
    Repeat,    // the holder again: nothing changes
    TakeOver,  // a new lock program in a session whose holder ended or never confirmed
    Refuse,    // another process while the holder guards the session
};

// Whether a policy is machine-wide (HKEY_LOCAL_MACHINE) rather than the user's.
bool IsMachineWidePolicy(Policy policy);
// The policies the service puts in force (NoClose is not one of them).
bool IsServicePolicy(Policy policy);
// The location of a policy for this user: HKEY_CURRENT_USER replaced by HKEY_USERS\<sid>.
std::string ServicePolicyLocation(Policy policy, const std::string& userSid);

class LockedSessions {
public:
    LockVerdict JudgeLock(const ServiceClient& client, bool holderEnded) const;
    // True when "unlocked" comes from the process that holds the session's lock.
    bool MayUnlock(const ServiceClient& client) const;

    // The machine-wide values must be read (and passed to Add) when this is true.
    bool NeedsMachineBefore() const { return sessions_.empty(); }
    void Add(const ServiceClient& holder, bool confirmed, const RememberedPolicies& userBefore,
             const RememberedPolicies& machineBefore);
    void TakeOver(const ServiceClient& holder, bool confirmed);

    // What an unlock or the end of a session gives back: the user's values, and the machine's
    // when it was the last locked session.
    struct Released {
        LockedSession Session;
        std::optional<RememberedPolicies> MachineBefore;
    };
    std::optional<Released> Release(uint32_t sessionId);

    // The relock bound: true (and counted) when fewer than three relocks of this session fall
    // within the last minute.
    bool TakeRelock(uint32_t sessionId, uint64_t nowMs);

    // A user's values that could not be written back because the account's hive was not loaded
    // (the service started after a power loss): kept until the account signs in again.
    struct PendingRestore {
        std::string UserSid;
        RememberedPolicies Before;
        bool operator==(const PendingRestore&) const = default;
    };
    void AddPendingRestore(const PendingRestore& restore);
    std::vector<PendingRestore> TakePendingRestores();
    const std::vector<PendingRestore>& PendingRestores() const { return pending_; }

    const LockedSession* Find(uint32_t sessionId) const;
    const std::vector<LockedSession>& Sessions() const { return sessions_; }
    const std::optional<RememberedPolicies>& MachineBefore() const { return machineBefore_; }

    // One text for the registry; Decode skips what it cannot read.
    std::string Encode() const;
    static LockedSessions Decode(const std::string& text);

private:
    LockedSession* FindMutable(uint32_t sessionId);
    std::vector<LockedSession> sessions_;
    std::optional<RememberedPolicies> machineBefore_;   // set while any session is locked
    std::vector<PendingRestore> pending_;
};

// What the service does when a guarded lock program ended without "unlocked". The actions are
// the platform's (a seam, so the decision is tested without sessions).
class SessionActions {
public:
    virtual ~SessionActions() = default;
    // Starts "OrvoPCLock.exe /StartupLock" in the session as its user; the new process, or
    // nothing when it could not be started.
    virtual std::optional<ServiceClient> StartLockProgram(uint32_t sessionId) = 0;
    virtual void DisconnectSession(uint32_t sessionId) = 0;
};
enum class RelockResult { NotLocked, Started, Disconnected };
RelockResult Relock(LockedSessions& sessions, uint32_t sessionId, uint64_t nowMs, SessionActions& actions);
