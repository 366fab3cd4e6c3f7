// What the service learns about processes and sessions from the system, never from a message:
// who a lock program is, which account a session belongs to, and a new lock program in a
// session as its user.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "service/LockedSessions.h"
#include "system/WinHandles.h"

// A process as the service knows a client: its session, its account, its id and creation time.
// Nothing unless its image is expectedImage (compared without regard to case).
std::optional<ServiceClient> DescribeProcess(HANDLE process, const std::string& expectedImage);

// The client of a connected pipe, with a handle to its process (to wait for its end).
struct PipeClient {
    ServiceClient Client;
    UniqueHandle Process;
};
std::optional<PipeClient> IdentifyPipeClient(HANDLE pipe, const std::string& expectedImage);

// The recorded holder, opened again by its id: only when it is still that same process.
UniqueHandle OpenHolder(const ServiceClient& holder, const std::string& expectedImage);

// The account signed in to the session (its SID as text), or "" when none or unknown.
std::string SessionUserSid(uint32_t sessionId);

// Starts "<lock program> /StartupLock" in the session with its user's token and environment,
// and ends the session's access when asked.
class SessionPrograms : public SessionActions {
public:
    explicit SessionPrograms(std::string lockProgram) : lockProgram_(std::move(lockProgram)) {}
    std::optional<ServiceClient> StartLockProgram(uint32_t sessionId) override;
    void DisconnectSession(uint32_t sessionId) override;
    // The process of the last successful start, for the caller to watch.
    UniqueHandle TakeStarted() { return std::move(started_); }

private:
    std::string lockProgram_;
    UniqueHandle started_;
};
