// The four policy values a lock touches, as the lock record remembers them and as the message
// about restrictions that could not be applied names them. Pure: no platform headers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// In the order the message names them; NoClose is only ever restored, never applied.
enum class Policy : int { DisableTaskmgr, NoLogoff, HideFastUserSwitching, NoClose };
inline constexpr int kPolicyCount = 4;

// The registry value name ("DisableTaskmgr", ...).
const char* PolicyValueName(Policy policy);
// Where the value lives ("HKEY_CURRENT_USER\Software\...\Policies\System", ...).
const char* PolicyLocation(Policy policy);

// What each value held before a lock applied the policies: nothing (absent, or not a DWORD) or
// its number. Indexed by Policy.
using RememberedPolicies = std::array<std::optional<uint32_t>, kPolicyCount>;

// "DisableTaskmgr=1;NoLogoff=-;HideFastUserSwitching=0;NoClose=-" ("-": absent).
std::string EncodeRememberedPolicies(const RememberedPolicies& remembered);
// The reverse; a name that is missing or a number that cannot be read comes back as absent.
RememberedPolicies DecodeRememberedPolicies(const std::string& text);

// The policies a lock could not put in force, one bit per Policy (1 << index).
struct PolicyFailures {
    uint32_t Bits = 0;
    bool Any() const { return Bits != 0; }
    bool Has(Policy policy) const { return (Bits >> static_cast<int>(policy)) & 1u; }
    void Add(Policy policy) { Bits |= 1u << static_cast<int>(policy); }
};

// What the configuration dialog says while the lock service puts the policies in force.
inline constexpr char kServiceAppliesPoliciesText[] =
    "Task Manager, Switch user and Sign out are disabled during a lock: applied by the Orvo PC Lock Service.";

// The sentence for the tray balloon and the configuration dialog, or "" when nothing failed.
std::string PolicyFailureText(PolicyFailures failures);
