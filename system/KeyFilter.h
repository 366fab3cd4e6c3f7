// Which keys the low-level keyboard hook lets through while the computer is locked.
// Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>

// True when the key with this virtual-key code may reach the lock window: Backspace, Enter and
// Esc always; 48..90 (digits, letters and the codes between) only in the Dynamic Password Mode.
bool KeyPassesLock(uint32_t vkCode, int currentUnlockMode);
