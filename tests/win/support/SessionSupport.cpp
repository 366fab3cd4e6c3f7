// The tests' lock session, made before any test runs, as the lock program makes its own at
// start: the windows under test are given its roles.
#include "support/SessionSupport.h"

LockSession& TestSession() {
    static LockSession session;
    return session;
}

namespace {
[[maybe_unused]] const bool kSessionMade = (TestSession(), true);
}
