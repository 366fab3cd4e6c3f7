// Whether Windows' own lock, the last line behind this program's lock, keeps anybody out: on an
// account without a password it opens with a click, and an account Windows signs in by itself
// comes back open after a restart. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <string>

// What the probe (AccountProbe) saw of the signed-in account.
struct AccountLook {
    bool blankLogonAccepted = false;   // a logon with the user's name and an empty password succeeded
    uint32_t blankLogonError = 0;      // the error of that logon when it failed
    std::string autoAdminLogon;        // the Winlogon value "AutoAdminLogon" as stored, "" when absent
};

// The configuration dialog's note about it, in plain words and two lines of the Advanced tab;
// "" when the fallback holds.
std::string WeakFallbackText(const AccountLook& look);
