// The wording of the weak-fallback note and when it shows.
#include "system/WeakFallback.h"

#include "system/Text.h"

namespace {
constexpr uint32_t kErrorAccountRestriction = 1327;   // ERROR_ACCOUNT_RESTRICTION
}  // namespace

std::string WeakFallbackText(const AccountLook& look) {
    // Windows refuses a blank password to every logon but the console's by default ("Limit local
    // account use of blank passwords"), and says so with this error instead of a wrong password.
    if (look.blankLogonAccepted || look.blankLogonError == kErrorAccountRestriction)
        return "This Windows account has no password: Windows' own lock opens with a click. Give the "
               "account a password.";
    if (TrimNull(look.autoAdminLogon) == "1")
        return "Windows signs this account in by itself: after a restart the desktop is open. Turn "
               "automatic sign-in off.";
    return {};
}
