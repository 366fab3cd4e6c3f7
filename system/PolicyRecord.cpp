// Text form of the remembered policy values and the wording of the "could not be disabled"
// message.
#include "system/PolicyRecord.h"

#include "system/Restrictions.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kValueNames[kPolicyCount] = {"DisableTaskmgr", "NoLogoff", "HideFastUserSwitching", "NoClose"};
// What the user sees on the Ctrl + Alt + Del screen for each policy.
constexpr const char* kShownNames[kPolicyCount] = {"Task Manager", "Sign out", "Switch user", "Shut down"};
constexpr char kAbsent[] = "-";
// HideFastUserSwitching is under HKEY_LOCAL_MACHINE, and on current Windows even the per-user
// policy keys are writable only with administrator rights.
constexpr const char* kLocations[kPolicyCount] = {kPoliciesSystemUserKey, kPoliciesExplorerUserKey,
                                                  kPoliciesSystemMachineKey, kPoliciesExplorerUserKey};

std::optional<uint32_t> ParseDword(std::string_view text) {
    uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return number;
}

// "A", "A and B", "A, B and C".
std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace

const char* PolicyValueName(Policy policy) { return kValueNames[static_cast<int>(policy)]; }

const char* PolicyLocation(Policy policy) { return kLocations[static_cast<int>(policy)]; }

std::string EncodeRememberedPolicies(const RememberedPolicies& remembered) {
    std::string text;
    for (int i = 0; i < kPolicyCount; ++i) {
        if (i > 0) text += ';';
        text += kValueNames[i];
        text += '=';
        text += remembered[i] ? std::to_string(*remembered[i]) : kAbsent;
    }
    return text;
}

RememberedPolicies DecodeRememberedPolicies(const std::string& text) {
    RememberedPolicies remembered;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) continue;
        for (int i = 0; i < kPolicyCount; ++i)
            if (entry.substr(0, equals) == kValueNames[i]) remembered[i] = ParseDword(entry.substr(equals + 1));
    }
    return remembered;
}

std::string PolicyFailureText(PolicyFailures failures) {
    std::vector<std::string> names;
    for (int i = 0; i < kPolicyCount; ++i)
        if (failures.Has(static_cast<Policy>(i))) names.push_back(kShownNames[i]);
    if (names.empty()) return {};
    const bool one = names.size() == 1;
    return JoinNames(names) + (one ? " was" : " were") +
           " not disabled during the lock and stayed available from Ctrl+Alt+Del: changing " +
           (one ? "this setting" : "these settings") + " needs administrator rights.";
}
