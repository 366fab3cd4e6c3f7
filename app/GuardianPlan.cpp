// The guardian's switch and the bound on restarts.
#include "app/GuardianPlan.h"

#include <charconv>
#include <vector>

std::string GuardianArguments(uint32_t lockerPid) {
    return std::string(kGuardianSwitch) + " " + std::to_string(lockerPid);
}

std::optional<uint32_t> GuardianPidFromArguments(const std::string& arguments) {
    const std::string prefix = std::string(kGuardianSwitch) + " ";
    if (arguments.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    const char* first = arguments.data() + prefix.size();
    const char* last = arguments.data() + arguments.size();
    uint32_t pid = 0;
    const auto [end, error] = std::from_chars(first, last, pid);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return pid;
}

RestartDecision DecideRestart(const std::string& history, uint64_t now) {
    std::vector<uint64_t> recent;
    for (std::size_t at = 0; at < history.size();) {
        std::size_t end = history.find(';', at);
        if (end == std::string::npos) end = history.size();
        uint64_t time = 0;
        const auto [stop, error] = std::from_chars(history.data() + at, history.data() + end, time);
        if (error == std::errc() && stop == history.data() + end && time <= now && now - time < kRestartWindowMs)
            recent.push_back(time);
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
