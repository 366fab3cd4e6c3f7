// Counting and recording of locked sessions. The record is a text of lines:
//   machine <remembered values>
//   session <id> <sid> <pid> <created> <confirmed 0|1> <remembered values>
//   restore <sid> <remembered values>
// rewritten whole at every change, so a power loss leaves either the old or the new record.
#include "service/LockedSessions.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "system/Restrictions.h"

namespace {

constexpr uint64_t kRelockWindowMs = 60000;
constexpr std::size_t kRelocksPerWindow = 3;
constexpr char kUserRoot[] = "HKEY_CURRENT_USER";

template <class T>
bool ParseNumber(const std::string& text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A SID as ConvertSidToStringSid writes it: "S-" then digits and dashes.
bool IsSidText(const std::string& text) {
    if (text.size() < 3 || text.size() > 184 || text.compare(0, 2, "S-") != 0) return false;
    return std::all_of(text.begin() + 2, text.end(), [](char ch) { return (ch >= '0' && ch <= '9') || ch == '-'; });
}

}  // namespace

bool IsMachineWidePolicy(Policy policy) { return policy == Policy::HideFastUserSwitching; }

bool IsServicePolicy(Policy policy) { return policy != Policy::NoClose; }

std::string ServicePolicyLocation(Policy policy, const std::string& userSid) {
    const std::string location = PolicyLocation(policy);
    if (location.compare(0, sizeof kUserRoot - 1, kUserRoot) != 0) return location;
    return "HKEY_USERS\\" + userSid + location.substr(sizeof kUserRoot - 1);
}

LockVerdict LockedSessions::JudgeLock(const ServiceClient& client, bool holderEnded) const {
    const LockedSession* session = Find(client.SessionId);
    if (!session) return LockVerdict::Start;
    // Another account in the same session (after a sign-out the service missed) is a new lock.
    if (session->Holder.UserSid != client.UserSid) return LockVerdict::Refuse;
    if (session->Holder == client) return session->HolderConfirmed ? LockVerdict::Repeat : LockVerdict::TakeOver;
    return holderEnded || !session->HolderConfirmed ? LockVerdict::TakeOver : LockVerdict::Refuse;
}

bool LockedSessions::MayUnlock(const ServiceClient& client) const {
    const LockedSession* session = Find(client.SessionId);
    return session && session->Holder == client;
}

void LockedSessions::Add(const ServiceClient& holder, bool confirmed, const RememberedPolicies& userBefore,
                         const RememberedPolicies& machineBefore) {
    if (Find(holder.SessionId)) return;
    if (sessions_.empty()) machineBefore_ = machineBefore;
    LockedSession session;
    session.Holder = holder;
    session.HolderConfirmed = confirmed;
    session.UserBefore = userBefore;
    sessions_.push_back(session);
}

void LockedSessions::TakeOver(const ServiceClient& holder, bool confirmed) {
    if (LockedSession* session = FindMutable(holder.SessionId)) {
        session->Holder = holder;
        session->HolderConfirmed = confirmed;
    }
}

std::optional<LockedSessions::Released> LockedSessions::Release(uint32_t sessionId) {
    const auto it = std::find_if(sessions_.begin(), sessions_.end(),
                                 [sessionId](const LockedSession& s) { return s.Holder.SessionId == sessionId; });
    if (it == sessions_.end()) return std::nullopt;
    Released released{*it, std::nullopt};
    sessions_.erase(it);
    if (sessions_.empty()) {
        released.MachineBefore = machineBefore_.value_or(RememberedPolicies{});
        machineBefore_.reset();
    }
    return released;
}

bool LockedSessions::TakeRelock(uint32_t sessionId, uint64_t nowMs) {
    LockedSession* session = FindMutable(sessionId);
    if (!session) return false;
    auto& times = session->RelocksMs;
    // A clock that went back counts as recent: the bound must not open by it.
    times.erase(std::remove_if(times.begin(), times.end(),
                               [nowMs](uint64_t t) { return t <= nowMs && nowMs - t >= kRelockWindowMs; }),
                times.end());
    if (times.size() >= kRelocksPerWindow) return false;
    times.push_back(nowMs);
    return true;
}

void LockedSessions::AddPendingRestore(const PendingRestore& restore) {
    // The first values kept for an account are the ones from before any lock of ours.
    for (const PendingRestore& kept : pending_)
        if (kept.UserSid == restore.UserSid) return;
    pending_.push_back(restore);
}

std::vector<LockedSessions::PendingRestore> LockedSessions::TakePendingRestores() {
    std::vector<PendingRestore> taken;
    taken.swap(pending_);
    return taken;
}

const LockedSession* LockedSessions::Find(uint32_t sessionId) const {
    for (const LockedSession& session : sessions_)
        if (session.Holder.SessionId == sessionId) return &session;
    return nullptr;
}

LockedSession* LockedSessions::FindMutable(uint32_t sessionId) {
    return const_cast<LockedSession*>(Find(sessionId));
}

std::string LockedSessions::Encode() const {
    std::string text;
    if (machineBefore_) text += "machine " + EncodeRememberedPolicies(*machineBefore_) + "\n";
    for (const LockedSession& s : sessions_) {
        text += "session " + std::to_string(s.Holder.SessionId) + " " + s.Holder.UserSid + " " +
                std::to_string(s.Holder.ProcessId) + " " + std::to_string(s.Holder.ProcessCreated) + " " +
                (s.HolderConfirmed ? "1 " : "0 ") + EncodeRememberedPolicies(s.UserBefore) + "\n";
    }
    for (const PendingRestore& restore : pending_)
        text += "restore " + restore.UserSid + " " + EncodeRememberedPolicies(restore.Before) + "\n";
    return text;
}

LockedSessions LockedSessions::Decode(const std::string& text) {
    LockedSessions decoded;
    std::istringstream lines(text);
    std::string line;
    std::optional<RememberedPolicies> machine;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind, id, sid, pid, created, confirmed, values, extra;
        fields >> kind;
        if (kind == "machine" && fields >> values && !(fields >> extra)) {
            machine = DecodeRememberedPolicies(values);
            continue;
        }
        if (kind == "restore" && fields >> sid >> values && !(fields >> extra)) {
            if (IsSidText(sid)) decoded.AddPendingRestore({sid, DecodeRememberedPolicies(values)});
            continue;
        }
        if (kind != "session" || !(fields >> id >> sid >> pid >> created >> confirmed >> values) || (fields >> extra))
            continue;
        ServiceClient holder;
        holder.UserSid = sid;
        if (!ParseNumber(id, holder.SessionId) || !IsSidText(sid) || !ParseNumber(pid, holder.ProcessId) ||
            !ParseNumber(created, holder.ProcessCreated) || (confirmed != "0" && confirmed != "1") ||
            decoded.Find(holder.SessionId))
            continue;
        LockedSession session;
        session.Holder = holder;
        session.HolderConfirmed = confirmed == "1";
        session.UserBefore = DecodeRememberedPolicies(values);
        decoded.sessions_.push_back(session);
    }
    // The machine's values belong to the locked sessions (the last release restores them before
    // the record loses its line); a session without the line restores them as absent.
    if (!decoded.sessions_.empty()) decoded.machineBefore_ = machine.value_or(RememberedPolicies{});
    return decoded;
}

RelockResult Relock(LockedSessions& sessions, uint32_t sessionId, uint64_t nowMs, SessionActions& actions) {
    if (!sessions.Find(sessionId)) return RelockResult::NotLocked;
    if (sessions.TakeRelock(sessionId, nowMs)) {
        if (const std::optional<ServiceClient> started = actions.StartLockProgram(sessionId)) {
            sessions.TakeOver(*started, false);
            return RelockResult::Started;
        }
    }
    // Windows asks for the account's password on reconnecting: the session is not left open.
    actions.DisconnectSession(sessionId);
    return RelockResult::Disconnected;
}
