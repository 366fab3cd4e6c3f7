// The start's lock decision and the session-end watch.
#include "app/FailClosedPlan.h"

#include "system/StartupText.h"

bool LocksAtStart(bool isMarkerSet, std::string_view arguments) {
    return isMarkerSet || IsStartupLockCommand(arguments) || IsLockCommand(arguments);
}

bool LocksBeforeMessages(bool isMarkerSet, bool accountWasKnown, std::string_view arguments) {
    return isMarkerSet || (accountWasKnown && LocksAtStart(false, arguments));
}

// Any process of the user can send WM_ENDSESSION; only the end of this process proves that the
// session really ended. Everything short of that counts as a session that goes on.
SessionEndAction SessionEndWatch::NoteEndSession(bool ending, bool isLocked, uint64_t now) {
    if (!isLocked) {
        givenBackAt_.reset();
        return SessionEndAction::None;
    }
    if (!ending) {
        // Called off (or a plain WM_ENDSESSION FALSE): back in full at once if it was given back.
        const bool wasGivenBack = givenBackAt_.has_value();
        givenBackAt_.reset();
        return wasGivenBack ? SessionEndAction::LockAgain : SessionEndAction::None;
    }
    // A repeated message restarts the grace but gives nothing back twice.
    const bool wasGivenBack = givenBackAt_.has_value();
    givenBackAt_ = now;
    return wasGivenBack ? SessionEndAction::None : SessionEndAction::GiveBack;
}

SessionEndAction SessionEndWatch::Tick(bool isLocked, uint64_t now) {
    if (!givenBackAt_) return SessionEndAction::None;
    // Unlocked meanwhile: the unlock has given everything back for good.
    if (!isLocked) {
        givenBackAt_.reset();
        return SessionEndAction::None;
    }
    if (now - *givenBackAt_ < kSessionEndGraceMs) return SessionEndAction::None;
    givenBackAt_.reset();
    return SessionEndAction::LockAgain;
}
