// Which keys the low-level keyboard hook lets through while the computer is locked.
// Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>

// True when the key with this virtual-key code may reach the lock window: Backspace, Enter and
// Esc always; 48..90 (digits, letters and the codes between) only in the Dynamic Password Mode.
bool KeyPassesLock(uint32_t vkCode, int currentUnlockMode);

// True for the keys the system itself acts on, given the modifiers the system sees held: the
// Windows keys, the Apps key, the browser, volume, media and launch keys, Alt + Tab / Esc / F4 /
// Space, Ctrl + Esc (also with Shift).
bool IsSystemShortcut(uint32_t vkCode, bool altHeld, bool ctrlHeld);

// The hook's whole decision for a stream of key events. It remembers which presses it let
// through, so it knows which modifiers the system sees held and lets a release go the way its
// press went (a key is never left half pressed).
// Where one key event goes: on to the foreground window, nowhere, or (held back from the
// foreground) to the lock window as the key it handles.
enum class KeyRoute : uint8_t { Pass, Swallow, HandToLock };

class LockKeyFilter {
public:
    // One event. altFlag: the platform says Alt is down (a system-key message or the event's
    // Alt flag). lockAllKeys: "Lock keyboard" at Yes, where only KeyPassesLock's keys pass;
    // at No every key passes but the system shortcuts. foregroundOurs: the foreground window
    // is one of the program's; when it is not, no press passes, whatever lockAllKeys says, and
    // the presses of KeyPassesLock's keys are handed to the lock window.
    KeyRoute Route(uint32_t vkCode, bool isUp, bool altFlag, bool lockAllKeys, int currentUnlockMode,
                   bool foregroundOurs);

private:
    enum class Press : uint8_t { Unseen, Passed, Swallowed };
    bool SystemHolds(uint32_t vkCode) const;
    std::array<Press, 256> presses_{};
};
