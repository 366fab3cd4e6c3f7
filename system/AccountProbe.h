// Looks at the signed-in account for WeakFallbackText: a logon with an empty password, and the
// Winlogon automatic sign-in value.
#pragma once

#include "system/WeakFallback.h"

// Asked once per run of the program, then remembered: each refused logon counts as a wrong
// password towards the account's lock-out.
const AccountLook& ProbeAccount();
