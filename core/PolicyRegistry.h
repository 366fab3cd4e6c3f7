// The organisation's policy values of this program, read from the registry (the machine's and
// the account's policy keys), and the one overlay the whole program consults.
#pragma once

#include "core/ConfigData.h"
#include "core/PolicySettings.h"

inline constexpr const char kMachinePolicyKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\OrvoSoft\\Orvo PC Lock";
inline constexpr const char kUserPolicyKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Policies\\OrvoSoft\\Orvo PC Lock";

PolicyOverlay& ThePolicyOverlay();

// Reads both policy keys and lays their values over `config`.
void ApplyPolicySettings(ConfigData& config);
// The same again while the program runs (at every lock, and every minute): the values the
// policies set before are taken back first.
void RefreshPolicySettings(ConfigData& config);
