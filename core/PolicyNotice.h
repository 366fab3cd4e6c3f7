// When the user hears that a lock could not put every restriction in force: once per run of the
// program, after the first unlock that follows such a lock, and in the configuration dialog for
// as long as the last lock's failures stand. Pure: no platform headers, unit-tested natively.
#pragma once

#include <string>

#include "system/PolicyRecord.h"

inline constexpr char kPolicyNoticeTitle[] = "Orvo PC Lock";

class PolicyNotice {
public:
    // After an unlock, with what its lock could not apply: the balloon's text the first time
    // anything failed, "" otherwise.
    std::string BalloonAfterUnlock(PolicyFailures failures);
    // The last lock's failures as the configuration dialog shows them; "" when none failed.
    const std::string& Text() const { return text_; }

private:
    bool shown_ = false;
    std::string text_;
};

// Said in the tray after an unlock when the organization requires the lock service and it did not
// answer the lock.
inline constexpr char kMissingServiceText[] =
    "The Orvo PC Lock Service did not answer, so Windows was locked as well, as your organization requires.";

// Something to say once per run of the program, after it first happened.
class OnceNotice {
public:
    void Note() { pending_ = !shown_; }
    // True the first time after Note, never again.
    bool TakeOnce() {
        if (!pending_) return false;
        pending_ = false;
        shown_ = true;
        return true;
    }

private:
    bool pending_ = false;
    bool shown_ = false;
};
