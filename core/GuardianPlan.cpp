// The guard program's command lines, the guardian's verdict and the bounds on restarts.
#include "core/GuardianPlan.h"

#include <charconv>
#include <vector>

namespace {

// A whole decimal number, nothing before or after it.
template <class T>
std::optional<T> ParseNumber(const char* first, const char* last) {
    T number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return number;
}

const char* SwitchOf(GuardRole role) {
    return role == GuardRole::Intermediate ? kIntermediateSwitch : kGuardianSwitch;
}

}  // namespace

std::string GuardArguments(const GuardCommand& command) {
    return std::string(SwitchOf(command.Role)) + " " + std::to_string(command.Handles.Locker) + " " +
           std::to_string(command.Handles.Locked);
}

std::optional<GuardCommand> ParseGuardArguments(const std::string& arguments) {
    for (const GuardRole role : {GuardRole::Intermediate, GuardRole::Guardian}) {
        const std::string prefix = std::string(SwitchOf(role)) + " ";
        if (arguments.compare(0, prefix.size(), prefix) != 0) continue;
        const std::size_t blank = arguments.find(' ', prefix.size());
        if (blank == std::string::npos) return std::nullopt;
        const auto locker = ParseNumber<uint64_t>(arguments.data() + prefix.size(), arguments.data() + blank);
        const auto locked = ParseNumber<uint64_t>(arguments.data() + blank + 1, arguments.data() + arguments.size());
        // A null handle is no handle: the lock program never passes one.
        if (!locker || !locked || *locker == 0 || *locked == 0) return std::nullopt;
        return GuardCommand{role, {*locker, *locked}};
    }
    return std::nullopt;
}

std::string ProcessIdentityText(ProcessIdentity identity) {
    return std::to_string(identity.Pid) + " " + std::to_string(identity.Created);
}

GuardianAction DecideGuardianAction(bool lockerEnded, bool locked, uint64_t unansweredMs) {
    if (!locked) return lockerEnded ? GuardianAction::StandDown : GuardianAction::Watch;
    if (lockerEnded || unansweredMs >= kUnansweredLimitMs) return GuardianAction::Relock;
    return GuardianAction::Watch;
}

RestartDecision DecideRestart(const std::string& history, uint64_t now) {
    std::vector<uint64_t> recent;
    for (std::size_t at = 0; at < history.size();) {
        std::size_t end = history.find(';', at);
        if (end == std::string::npos) end = history.size();
        const auto time = ParseNumber<uint64_t>(history.data() + at, history.data() + end);
        if (time && *time <= now && now - *time < kRestartWindowMs) recent.push_back(*time);
        at = end + 1;
    }
    RestartDecision decision;
    decision.Restart = recent.size() < static_cast<std::size_t>(kMaxRestarts);
    if (decision.Restart) recent.push_back(now);
    for (const uint64_t time : recent) {
        if (!decision.History.empty()) decision.History += ';';
        decision.History += std::to_string(time);
    }
    return decision;
}
