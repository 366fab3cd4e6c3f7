// The lock service's one worker thread. It waits on the stop, on queued session changes, on the
// pipe and on the process of every guarded lock program, and sleeps without a timer while no
// session is locked.
#include "service/LockService.h"

#include <sddl.h>

#include <array>
#include <optional>

#include "system/ProcessIo.h"
#include "system/Registry.h"

namespace {

// Interactive users may read and write the pipe's data and nothing else: not make another
// instance of it, not change its security.
constexpr char kPipeSecurity[] = "D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00100083;;;IU)";
// A client gets this long to send its request and to read the reply.
constexpr DWORD kClientTimeoutMs = 1000;
// A lock program the service started that ends before it said "locked" may have handed the
// lock to a copy already running: that copy gets this long to say so before the next relock.
constexpr DWORD kUnconfirmedGraceMs = 2000;
// A pipe that could not be made (its name taken) is tried again this often.
constexpr DWORD kPipeRetryMs = 5000;

std::optional<uint32_t> ReadNumber(const std::string& location, Policy policy) {
    const RegistryValue stored = ReadRegistryValue(location, PolicyValueName(policy));
    const auto* number = std::get_if<int32_t>(&stored);
    if (!number) return std::nullopt;
    return static_cast<uint32_t>(*number);
}

// The service's policies of one side: the user's (under HKEY_USERS\<sid>) or the machine's.
template <class Visit>
void ForEachPolicy(bool machineWide, Visit visit) {
    for (int i = 0; i < kPolicyCount; ++i) {
        const auto policy = static_cast<Policy>(i);
        if (IsServicePolicy(policy) && IsMachineWidePolicy(policy) == machineWide) visit(policy);
    }
}

RememberedPolicies ReadValues(bool machineWide, const std::string& sid) {
    RememberedPolicies values;
    ForEachPolicy(machineWide, [&](Policy policy) {
        values[static_cast<int>(policy)] = ReadNumber(ServicePolicyLocation(policy, sid), policy);
    });
    return values;
}

void WriteRestrictions(bool machineWide, const std::string& sid) {
    ForEachPolicy(machineWide, [&](Policy policy) {
        WriteRegistryValue(ServicePolicyLocation(policy, sid), PolicyValueName(policy), "1", kRegDword);
    });
}

// Each value back exactly as it was (absent, 0, an administrator's 1), but only where it still
// holds the lock's 1: a value someone changed during the lock is theirs.
void WriteBack(bool machineWide, const std::string& sid, const RememberedPolicies& before) {
    ForEachPolicy(machineWide, [&](Policy policy) {
        const std::string location = ServicePolicyLocation(policy, sid);
        if (ReadNumber(location, policy) != 1u) return;
        if (const std::optional<uint32_t> value = before[static_cast<int>(policy)])
            WriteRegistryValue(location, PolicyValueName(policy), std::to_string(static_cast<int32_t>(*value)),
                               kRegDword);
        else
            DeleteRegistryValue(location, PolicyValueName(policy));
    });
}

// The account's hive is loaded while it is signed in (and for a while after).
bool IsHiveLoaded(const std::string& sid) { return RegistryKeyHasContent("HKEY_USERS\\" + sid); }

}  // namespace

void LogRefusal(const std::string& text) {
    HANDLE source = RegisterEventSourceA(nullptr, kServiceName);
    if (!source) return;
    const char* strings[] = {text.c_str()};
    ReportEventA(source, EVENTLOG_WARNING_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

LockService::LockService(std::string lockProgram) : lockProgram_(lockProgram), programs_(std::move(lockProgram)) {}

void LockService::QueueSessionChange(DWORD event, DWORD sessionId) {
    {
        std::lock_guard<std::mutex> lock(changesLock_);
        // Bounded: a flood of changes keeps only the latest ones.
        if (changes_.size() >= 256) changes_.erase(changes_.begin());
        changes_.emplace_back(event, sessionId);
    }
    if (wake_) SetEvent(wake_.get());
}

int LockService::Run(HANDLE stopEvent, const std::function<void(bool)>& lockedChanged) {
    lockedChanged_ = lockedChanged;
    wake_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    connected_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!wake_ || !connected_) return 1;
    Restart();
    for (;;) {
        if (!listening_) ListenForClient();
        std::vector<HANDLE> waits = {stopEvent, wake_.get()};
        if (listening_) waits.push_back(connected_.get());
        const std::size_t firstHolder = waits.size();
        std::vector<uint32_t> holderSessions;
        for (const auto& [session, process] : holders_) {
            if (waits.size() >= MAXIMUM_WAIT_OBJECTS) break;
            waits.push_back(process.get());
            holderSessions.push_back(session);
        }
        DWORD timeout = listening_ ? INFINITE : kPipeRetryMs;
        const DWORD now = GetTickCount();
        for (const auto& [session, due] : relockDue_) {
            const DWORD left = static_cast<LONG>(due - now) > 0 ? due - now : 0;
            if (left < timeout) timeout = left;
        }
        const DWORD woke = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
        if (woke == WAIT_OBJECT_0) break;
        if (woke == WAIT_OBJECT_0 + 1) {
            std::vector<std::pair<DWORD, DWORD>> changes;
            {
                std::lock_guard<std::mutex> lock(changesLock_);
                changes.swap(changes_);
            }
            for (const auto& [event, session] : changes) OnSessionChange(event, session);
        } else if (listening_ && woke == WAIT_OBJECT_0 + 2) {
            ServeClient();
        } else if (woke >= WAIT_OBJECT_0 + firstHolder && woke < WAIT_OBJECT_0 + waits.size()) {
            OnHolderEnded(holderSessions[woke - WAIT_OBJECT_0 - firstHolder]);
        } else if (woke == WAIT_FAILED) {
            Sleep(100);   // never a busy loop, whatever went wrong
        }
        const DWORD after = GetTickCount();
        std::vector<uint32_t> due;
        for (const auto& [session, at] : relockDue_)
            if (static_cast<LONG>(at - after) <= 0) due.push_back(session);
        for (const uint32_t session : due) RelockNow(session);
    }
    if (listening_) CancelIo(pipe_.get());
    return 0;
}

// Goes on from the record: a holder still running is watched again; a session whose holder
// ended while the service was away is locked again when its user is still there, and given
// back otherwise (after a restart of the computer).
void LockService::Restart() {
    const RegistryValue stored = ReadRegistryValue(kServiceRecordKey, kServiceRecordValue);
    sessions_ = LockedSessions::Decode(RegistryValueText(stored));
    std::vector<LockedSession> recorded = sessions_.Sessions();
    for (const LockedSession& session : recorded) {
        const uint32_t id = session.Holder.SessionId;
        if (UniqueHandle holder = OpenHolder(session.Holder, lockProgram_)) {
            holders_[id] = std::move(holder);
        } else if (SessionUserSid(id) == session.Holder.UserSid) {
            RelockNow(id);
        } else {
            ReleaseAndRestore(id);
        }
    }
    RestorePending();
    ReportLocked();
}

bool LockService::ListenForClient() {
    if (!pipe_) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPipeSecurity, SDDL_REVISION_1, &descriptor,
                                                                  nullptr))
            return false;
        SECURITY_ATTRIBUTES security{sizeof security, descriptor, FALSE};
        // The first instance: a pipe of this name made by anyone else first is never served.
        pipe_.reset(CreateNamedPipeA(kServicePipeName,
                                     PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                     PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                     1, kServiceReplySize, kServiceRequestSize, 0, &security));
        LocalFree(descriptor);
        if (!pipe_) {
            LogRefusal("The pipe " + std::string(kServicePipeName) + " could not be made (error " +
                       std::to_string(GetLastError()) + "); tried again in 5 s.");
            return false;
        }
    }
    ResetEvent(connected_.get());
    connect_ = OVERLAPPED{};
    connect_.hEvent = connected_.get();
    if (ConnectNamedPipe(pipe_.get(), &connect_)) {
        SetEvent(connected_.get());
    } else if (GetLastError() == ERROR_PIPE_CONNECTED) {
        SetEvent(connected_.get());
    } else if (GetLastError() != ERROR_IO_PENDING) {
        pipe_.reset();   // made again at the next turn
        return false;
    }
    listening_ = true;
    return true;
}

void LockService::ServeClient() {
    listening_ = false;
    HANDLE pipe = pipe_.get();
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (event) {
        // One byte more than a request: a longer message fails the parse.
        std::array<uint8_t, kServiceRequestSize + 1> buffer{};
        OVERLAPPED io{};
        io.hEvent = event.get();
        DWORD read = 0;
        const bool got = FinishOverlapped(pipe, io, ReadFile(pipe, buffer.data(), buffer.size(), nullptr, &io),
                                  kClientTimeoutMs, read);
        const std::optional<ServiceRequest> request = got ? ParseServiceRequest(buffer.data(), read) : std::nullopt;
        if (!request) {
            LogRefusal("A request that was not one of the lock program's was refused.");
        } else {
            const ServiceReplyBytes reply = EncodeServiceReply(HandleRequest(pipe, *request));
            io = OVERLAPPED{};
            io.hEvent = event.get();
            DWORD written = 0;
            if (FinishOverlapped(pipe, io, WriteFile(pipe, reply.data(), reply.size(), nullptr, &io), kClientTimeoutMs,
                         written)) {
                // Until the client has read the reply and closed its end (a disconnect now
                // would throw the reply away).
                io = OVERLAPPED{};
                io.hEvent = event.get();
                FinishOverlapped(pipe, io, ReadFile(pipe, buffer.data(), buffer.size(), nullptr, &io), kClientTimeoutMs,
                         read);
            }
        }
    }
    DisconnectNamedPipe(pipe);
}

bool LockService::HandleRequest(HANDLE pipe, ServiceRequest request) {
    std::optional<PipeClient> client = IdentifyPipeClient(pipe, lockProgram_);
    if (!client) {
        ULONG pid = 0;
        GetNamedPipeClientProcessId(pipe, &pid);
        LogRefusal("A request from process " + std::to_string(pid) + ", which is not " + lockProgram_ +
                   ", was refused.");
        return false;
    }
    return request == ServiceRequest::Locked ? OnLocked(*client) : OnUnlocked(client->Client);
}

bool LockService::OnLocked(PipeClient& asking) {
    const ServiceClient& client = asking.Client;
    // A user whose values are still waiting from before a restart gets them back before they
    // are read as the values to restore.
    RestorePending();
    const uint32_t id = client.SessionId;
    switch (sessions_.JudgeLock(client, HolderEnded(id))) {
    case LockVerdict::Refuse:
        LogRefusal("A lock request of process " + std::to_string(client.ProcessId) + " was refused: session " +
                   std::to_string(id) + " is guarded by another lock program.");
        return false;
    case LockVerdict::Repeat:
        return true;
    case LockVerdict::Start: {
        const RememberedPolicies userBefore = ReadValues(false, client.UserSid);
        const RememberedPolicies machineBefore =
            sessions_.NeedsMachineBefore() ? ReadValues(true, client.UserSid) : RememberedPolicies{};
        sessions_.Add(client, true, userBefore, machineBefore);
        break;
    }
    case LockVerdict::TakeOver:
        sessions_.TakeOver(client, true);
        break;
    }
    // Kept before anything is written: a power loss from here on still restores the values.
    Save();
    WriteRestrictions(false, client.UserSid);
    WriteRestrictions(true, client.UserSid);
    holders_[id] = std::move(asking.Process);
    relockDue_.erase(id);
    ReportLocked();
    return true;
}

bool LockService::OnUnlocked(const ServiceClient& client) {
    if (!sessions_.MayUnlock(client)) {
        LogRefusal("An unlock request of process " + std::to_string(client.ProcessId) +
                   ", which does not hold the lock of session " + std::to_string(client.SessionId) + ", was refused.");
        return false;
    }
    ReleaseAndRestore(client.SessionId);
    return true;
}

void LockService::ReleaseAndRestore(uint32_t sessionId) {
    holders_.erase(sessionId);
    relockDue_.erase(sessionId);
    std::optional<LockedSessions::Released> released = sessions_.Release(sessionId);
    if (!released) return;
    const std::string& sid = released->Session.Holder.UserSid;
    if (IsHiveLoaded(sid))
        WriteBack(false, sid, released->Session.UserBefore);
    else
        sessions_.AddPendingRestore({sid, released->Session.UserBefore});
    if (released->MachineBefore) WriteBack(true, sid, *released->MachineBefore);
    Save();
    ReportLocked();
}

void LockService::RestorePending() {
    bool changed = false;
    for (LockedSessions::PendingRestore& pending : sessions_.TakePendingRestores()) {
        if (IsHiveLoaded(pending.UserSid)) {
            WriteBack(false, pending.UserSid, pending.Before);
            changed = true;
        } else {
            sessions_.AddPendingRestore(pending);
        }
    }
    if (changed) Save();
}

bool LockService::HolderEnded(uint32_t sessionId) const {
    const auto it = holders_.find(sessionId);
    return it == holders_.end() || WaitForSingleObject(it->second.get(), 0) == WAIT_OBJECT_0;
}

void LockService::OnHolderEnded(uint32_t sessionId) {
    holders_.erase(sessionId);
    const LockedSession* session = sessions_.Find(sessionId);
    if (!session) return;
    if (session->HolderConfirmed)
        RelockNow(sessionId);
    else
        relockDue_[sessionId] = GetTickCount() + kUnconfirmedGraceMs;
}

void LockService::RelockNow(uint32_t sessionId) {
    relockDue_.erase(sessionId);
    switch (Relock(sessions_, sessionId, GetTickCount64(), programs_)) {
    case RelockResult::Started:
        if (UniqueHandle started = programs_.TakeStarted()) holders_[sessionId] = std::move(started);
        Save();
        break;
    case RelockResult::Disconnected:
        LogRefusal("The lock program of session " + std::to_string(sessionId) +
                   " ended while locked and could not be started again in time; the session was disconnected.");
        break;
    case RelockResult::NotLocked:
        break;
    }
}

void LockService::OnSessionChange(DWORD event, DWORD sessionId) {
    if (event == WTS_SESSION_LOGOFF)
        ReleaseAndRestore(sessionId);
    else if (event == WTS_SESSION_LOGON)
        RestorePending();
}

void LockService::Save() {
    const std::string record = sessions_.Encode();
    if (record.empty())
        DeleteRegistryValue(kServiceRecordKey, kServiceRecordValue);
    else
        WriteRegistryValue(kServiceRecordKey, kServiceRecordValue, record, kRegSz);
}

void LockService::ReportLocked() {
    const bool locked = !sessions_.Sessions().empty();
    if (locked == reportedLocked_) return;
    reportedLocked_ = locked;
    if (lockedChanged_) lockedChanged_(locked);
}
