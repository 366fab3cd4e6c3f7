// The lock program's side of the lock service: one request over \\.\pipe\OrvoPCLock, and the
// service's state as the service manager reports it.
#pragma once

#include <optional>

#include "system/ServiceProtocol.h"

// Sends the request and waits at most timeoutMs for the reply: true when the service did it,
// false when it refused, nothing when no service answered in time (not installed, stopped, busy,
// or a pipe of that name served by another program).
std::optional<bool> AskLockService(ServiceRequest request, unsigned timeoutMs);

// True while the lock service is installed and running.
bool IsLockServiceRunning();
