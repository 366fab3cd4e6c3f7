// The lock service's work: the pipe server, the record of locked sessions, the restrictions it
// writes for them and the relock when a guarded lock program ends. One thread does all of it;
// the service manager's thread only queues session changes and signals the stop.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "service/LockedSessions.h"
#include "service/SessionPrograms.h"
#include "system/ServiceProtocol.h"
#include "system/WinHandles.h"

class LockService {
public:
    // lockProgram: the installed OrvoPCLock.exe, the only program whose requests count.
    explicit LockService(std::string lockProgram);

    // Serves until the stop event is set. Calls lockedChanged(true) when the first session is
    // locked and (false) when the last one is released, so the stop can be refused meanwhile.
    int Run(HANDLE stopEvent, const std::function<void(bool)>& lockedChanged);

    // From any thread: a WTS_SESSION_* change of a session.
    void QueueSessionChange(DWORD event, DWORD sessionId);

private:
    void Restart();
    void ServeClient();
    bool HandleRequest(HANDLE pipe, ServiceRequest request);
    bool OnLocked(PipeClient& client);
    bool OnUnlocked(const ServiceClient& client);
    void OnHolderEnded(uint32_t sessionId);
    void RelockNow(uint32_t sessionId);
    void OnSessionChange(DWORD event, DWORD sessionId);
    void ReleaseAndRestore(uint32_t sessionId);
    void RestorePending();
    bool HolderEnded(uint32_t sessionId) const;
    void Save();
    void ReportLocked();
    bool ListenForClient();

    std::string lockProgram_;
    LockedSessions sessions_;
    SessionPrograms programs_;
    std::map<uint32_t, UniqueHandle> holders_;   // session -> process of its lock program
    std::map<uint32_t, DWORD> relockDue_;        // session -> tick of a delayed relock
    UniqueHandle pipe_;
    UniqueHandle connected_;                     // event of the pending ConnectNamedPipe
    OVERLAPPED connect_{};
    bool listening_ = false;
    UniqueHandle wake_;
    std::mutex changesLock_;
    std::vector<std::pair<DWORD, DWORD>> changes_;
    std::function<void(bool)> lockedChanged_;
    bool reportedLocked_ = false;
};

// A refusal, as the service's log keeps it (the Event Log): what was refused and why, never
// the bytes that were sent.
void LogRefusal(const std::string& text);
