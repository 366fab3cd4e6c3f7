// The lock session seen as all of its roles (ui/LockRoles.h). The session in app/ implements
// it; the windows below it see only the roles, never each other.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/LockRoles.h"

// Every role at once: what the dialogs and the tray, which do not take their roles yet, find
// through Session().
class LockSessionHost : public LockControl, public ActivityNotes, public WindowDirectory, public LockScreenSettings {
protected:
    ~LockSessionHost() = default;
    // Only a session makes itself the host.
    static void Register(LockSessionHost* host);
};

// The registered session, or one that changes nothing before a session exists.
LockSessionHost& Session();
inline const LockState& CurrentLockState() { return Session().State(); }
