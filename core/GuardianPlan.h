// What the guardian and the lock program decide about each other without the platform: the
// guard program's command lines, when a lock program counts as gone, what the guardian does
// then, and how often anything is started again before only the operating system's lock is
// left. Pure: no platform headers, unit-tested natively. Any program that guards the lock
// (the guard program, a service) links it through core/.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The guard program's two roles. The lock program starts it with the intermediate switch; that
// short-lived process starts the guardian and ends at once, so the guardian is no descendant of
// the lock program and ending the lock program's process tree leaves it running.
inline constexpr char kIntermediateSwitch[] = "/Intermediate";
inline constexpr char kGuardianSwitch[] = "/Guardian";
inline constexpr char kGuardProgramName[] = "OrvoPCLockGuard.exe";

// Handle values the guard program inherits from the lock program (the same values in every
// process that inherits them): the lock program's process, and an event set while it is locked.
struct GuardHandles {
    uint64_t Locker = 0;
    uint64_t Locked = 0;
    bool operator==(const GuardHandles&) const = default;
};
enum class GuardRole { Intermediate, Guardian };
struct GuardCommand {
    GuardRole Role = GuardRole::Guardian;
    GuardHandles Handles;
    bool operator==(const GuardCommand&) const = default;
};
// "<switch> <locker> <locked>", and back; nothing for any other text.
std::string GuardArguments(const GuardCommand& command);
std::optional<GuardCommand> ParseGuardArguments(const std::string& arguments);

// One process for as long as the machine runs: ids are reused, an id with its creation time
// (FILETIME ticks) is not. The "LockedBy" value notes the lock program that set the marker.
struct ProcessIdentity {
    uint32_t Pid = 0;
    uint64_t Created = 0;
    bool operator==(const ProcessIdentity&) const = default;
};
std::string ProcessIdentityText(ProcessIdentity identity);

// A locked lock program whose window thread has not answered for this long (suspended, or
// hung) counts as gone.
inline constexpr uint64_t kUnansweredLimitMs = 5000;

enum class GuardianAction {
    Watch,      // nothing to do yet
    StandDown,  // the lock program ended unlocked: the guardian ends too
    Relock,     // Windows' lock now, the lock program ended (or ended by force) and started again
};
// lockerEnded: its process has ended; locked: what the lock program last said;
// unansweredMs: how long its window thread has not answered while locked.
GuardianAction DecideGuardianAction(bool lockerEnded, bool locked, uint64_t unansweredMs);

// A lock program that dies at every start must not hold the session in a loop of restarts:
// after this many within the window only the operating system's lock is left. The same bound
// holds for the guardians a lock program starts.
inline constexpr int kMaxRestarts = 3;
inline constexpr uint64_t kRestartWindowMs = 60000;

struct RestartDecision {
    bool Restart = false;
    std::string History;   // what to keep for the next decision
};
// history: the times (ms, one clock) of the earlier restarts, as a previous decision kept them;
// times from another boot (later than now) or older than the window no longer count.
RestartDecision DecideRestart(const std::string& history, uint64_t now);
