// What the guardian decides without the platform: its command-line switch, and how often the
// lock program may be started again before a guardian falls back to the operating system's lock
// alone. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The lock program started with this switch and the process id of the lock program it watches
// runs as that program's guardian: no window, no tray icon, no single-instance mutex.
inline constexpr char kGuardianSwitch[] = "/Guardian";

// "/Guardian <pid>".
std::string GuardianArguments(uint32_t lockerPid);
// The watched process id when the arguments are the switch and a decimal number, else nothing.
std::optional<uint32_t> GuardianPidFromArguments(const std::string& arguments);

// A lock program that dies at every start must not hold the session in a loop of restarts:
// after this many within the window only the operating system's lock is left.
inline constexpr int kMaxRestarts = 3;
inline constexpr uint64_t kRestartWindowMs = 60000;

struct RestartDecision {
    bool Restart = false;
    std::string History;   // what to keep for the next decision
};
// history: the times (ms, one clock) of the earlier restarts, as a previous decision kept them;
// times from another boot (later than now) or older than the window no longer count.
RestartDecision DecideRestart(const std::string& history, uint64_t now);
