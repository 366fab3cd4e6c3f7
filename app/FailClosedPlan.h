// What the fail-closed parts decide without the platform: whether a start locks at once, and
// whether a WM_ENDSESSION was really the end of the session. Pure: no platform headers,
// unit-tested natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// True when a start of the lock program (not its guardian) locks at once: asked to by its
// arguments, or a "Locked" marker was left set, whatever the arguments then say.
bool LocksAtStart(bool isMarkerSet, std::string_view arguments);
// True when that lock comes before the start's messages and dialogs (first run, a lost or broken
// settings file): a box shown first would leave the desktop open beside it. The one exception is
// an account this program has never seen, asked to lock by its arguments alone: it has no pattern
// to guard yet, and a lock now would ask for one nobody chose, so its first-run greeting and
// dialog come first.
bool LocksBeforeMessages(bool isMarkerSet, bool accountWasKnown, std::string_view arguments);

// How long the process may outlive a WM_ENDSESSION that said the session ends.
inline constexpr uint64_t kSessionEndGraceMs = 5000;

enum class SessionEndAction { None, GiveBack, LockAgain };

// Follows the session's end while locked: the lock is given back when Windows says the session
// ends, and put up again when the process is still there after the grace or the end is called off.
class SessionEndWatch {
public:
    // At WM_ENDSESSION (ending: its wParam).
    SessionEndAction NoteEndSession(bool ending, bool isLocked, uint64_t now);
    // At every tick while armed: LockAgain once the grace has passed and the lock still stands.
    SessionEndAction Tick(bool isLocked, uint64_t now);
    bool IsArmed() const { return givenBackAt_.has_value(); }

private:
    std::optional<uint64_t> givenBackAt_;
};
