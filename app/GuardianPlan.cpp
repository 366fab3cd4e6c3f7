// The guardian's switch and the bound on restarts.
#include "app/GuardianPlan.h"

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

}  // namespace

std::string ProcessIdentityText(ProcessIdentity identity) {
    return std::to_string(identity.Pid) + " " + std::to_string(identity.Created);
}

std::optional<ProcessIdentity> ParseProcessIdentity(const std::string& text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const auto pid = ParseNumber<uint32_t>(text.data(), text.data() + blank);
    const auto created = ParseNumber<uint64_t>(text.data() + blank + 1, text.data() + text.size());
    if (!pid || !created) return std::nullopt;
    return ProcessIdentity{*pid, *created};
}

std::string GuardianArguments(ProcessIdentity locker) {
    return std::string(kGuardianSwitch) + " " + ProcessIdentityText(locker);
}

std::optional<ProcessIdentity> GuardianLockerFromArguments(const std::string& arguments) {
    const std::string prefix = std::string(kGuardianSwitch) + " ";
    if (arguments.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    return ParseProcessIdentity(arguments.substr(prefix.size()));
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
