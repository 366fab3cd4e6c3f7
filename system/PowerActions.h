// Small system actions: the shutdown privilege and the start-up refusal of Windows 95/98/Me.
#pragma once

#include <cstdint>
#include <string>

constexpr uint32_t kShutdownPrivilege = 19;   // SeShutdownPrivilege

// Enables or disables a privilege in the thread's token, or in the process token when the
// thread has none. True when the adjustment succeeded.
bool AdjustPrivilege(uint32_t privilege, bool enable);

// The running system's display name; on Windows 95, 98 and Me it tells the user the system is
// not supported and ends the process. Empty when the version cannot be read.
std::string GetOSName();
