// Whether a start is the account's first, and what the machine's setup chose as that account's
// start-up defaults. Pure: no platform headers, unit-tested natively.
#pragma once

#include <string>

// What the start finds before it writes anything of its own.
struct FirstRunFacts {
    std::string FirstRunValue;     // "FirstRun" as read and trimmed; "" when missing
    bool FileExists = false;       // the settings file
    bool UserKeyHasValues = false; // anything under the account's own registry key
};

struct FirstRunDecision {
    bool IsFirstRun = false;
    bool DeleteFile = false;       // a fresh start asked for from outside drops the old file
};

FirstRunDecision DecideFirstRun(const FirstRunFacts& facts);

// The setup's choices kept for the whole machine: what a new account starts with.
struct MachineChoices {
    bool StartupLock = false;      // lock at Windows start-up
};

// Value names under the machine key, written by both setup packages.
inline constexpr const char kMachineStartupLockValue[] = "StartupLock";
inline constexpr const char kMachineStartAtLogonValue[] = "StartAtLogon";

// A machine value as the setups write it: a number, 1 = chosen; anything else is not.
bool MachineChoiceIsOn(const std::string& valueText);
