// Adding and removing the lock service with the service manager (administrators only): the
// service program's own "/Install" and "/Uninstall", and the tool's silent uninstall.
#pragma once

#include <string>

// Creates the service for that program (or points an existing one at it), automatic start as
// LocalSystem, restarted by the service manager after a crash (twice a minute at most), and
// starts it. False when the service could not be created or started.
bool InstallLockService(const std::string& servicePath);

// Stops the service (waiting a few seconds) and deletes it. True when no service is left, or it
// is marked for deletion and goes with its last handle.
bool RemoveLockService();
