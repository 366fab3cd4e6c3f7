// Every test program has the lock session the lock program makes at start, so the windows
// under test have their host.
#include "app/LockSession.h"

namespace {
[[maybe_unused]] const bool kSessionMade = (TheLockSession(), true);
}
