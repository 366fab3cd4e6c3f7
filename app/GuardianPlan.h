// What the guardian decides without the platform: its command-line switch, and how often the
// lock program may be started again before a guardian falls back to the operating system's lock
// alone. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The lock program started with this switch and the identity of the lock program it watches
// runs as that program's guardian: no window, no tray icon, no single-instance mutex.
inline constexpr char kGuardianSwitch[] = "/Guardian";

// One process for as long as the machine runs: ids are reused, an id with its creation time
// (FILETIME ticks) is not.
struct ProcessIdentity {
    uint32_t Pid = 0;
    uint64_t Created = 0;
    bool operator==(const ProcessIdentity&) const = default;
};
// "<pid> <created>", as the guardian's arguments and the "LockedBy" value hold it.
std::string ProcessIdentityText(ProcessIdentity identity);
std::optional<ProcessIdentity> ParseProcessIdentity(const std::string& text);

// "/Guardian <pid> <created>".
std::string GuardianArguments(ProcessIdentity locker);
// The watched lock program when the arguments are the switch and its identity, else nothing.
std::optional<ProcessIdentity> GuardianLockerFromArguments(const std::string& arguments);

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
