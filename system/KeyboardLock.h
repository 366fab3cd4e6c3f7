// The keyboard filter while locked: a system-wide low-level hook that swallows every key the
// lock window does not need (Windows keys, Alt+Tab, Alt+F4, Ctrl+Esc reach nothing).
#pragma once

#include <windows.h>

#include <cstdint>

// Installs (true) or removes (false) the hook; at most one is installed at a time. The hook
// runs on a thread of its own, so it answers while the user-interface thread is busy. An
// install takes the unlock mode of the moment.
void HookKeyboard(bool isHook, int32_t unlockMode = 0);

// The hook procedure: lets Backspace, Enter, Esc (and in Dynamic Password Mode the main
// keyboard's digits and letters) through, swallows the rest, down and up alike.
LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);

bool IsKeyboardHooked();

// Hands the unlock mode to the hook; whoever changes the mode while the hook is installed calls
// it again.
void SyncKeyboardUnlockMode(int32_t mode);

// True once for every stretch of key events since the last call (swallowed keys count): the
// idle measurement reports it, and the lock session turns the monitor flag off.
bool TakeKeyboardActivity();

// A copy of the record of the last key event the hook saw.
KBDLLHOOKSTRUCT LastKeyInfo();
