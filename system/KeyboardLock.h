// The keyboard filter while locked: a system-wide low-level hook that swallows the system
// shortcuts (Windows keys, Alt+Tab, Alt+F4, Ctrl+Esc reach nothing) and, with "Lock keyboard"
// at Yes, every other key the lock window does not need.
#pragma once

#include <windows.h>

#include <cstdint>

// Installs (true) or removes (false) the hook; at most one is installed at a time. The hook
// runs on a thread of its own, so it answers while the user-interface thread is busy. An
// install takes the unlock mode of the moment. lockAllKeys is "Lock keyboard": at Yes only the
// lock window's keys pass, at No every key but the system shortcuts (see LockKeyFilter). While
// the foreground is not the program's no key passes, and keyTarget (the lock window) gets the
// presses of its keys posted as WM_KEYDOWN.
void HookKeyboard(bool isHook, int32_t unlockMode = 0, bool lockAllKeys = true, HWND keyTarget = nullptr);

// Replaces the installed hook by a fresh one, the new one in before the old one out. Windows
// drops a low-level hook silently (after a time-out, often around sleep or a session switch),
// and a hook installed later by another program is asked before ours: a fresh hook is first
// again. Does nothing while no hook is wanted; retries the install when the first one failed.
void ReinstallKeyboardHook();
// The watchdog's share: ReinstallKeyboardHook every few seconds, nothing in between.
void RenewKeyboardHookWhenDue();
// The message window's share: ReinstallKeyboardHook after a resume from sleep
// (WM_POWERBROADCAST) or a session unlock (WM_WTSSESSION_CHANGE); other messages are ignored.
void ReinstallKeyboardHookAfter(UINT msg, WPARAM wParam);
// Asks for (true) or stops (false) WM_WTSSESSION_CHANGE at the window.
void WatchSessionChanges(HWND hwnd, bool watch);

// The hook procedure: asks LockKeyFilter, swallows what it refuses, down and up alike.
LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);

bool IsKeyboardHooked();

// True when the foreground window belongs to this process; quick enough for the hook.
bool IsForegroundOurs();

// Hands the unlock mode to the hook; whoever changes the mode while the hook is installed calls
// it again.
void SyncKeyboardUnlockMode(int32_t mode);

// True once for every stretch of key events since the last call (swallowed keys count): the
// idle measurement reports it, and the lock session turns the monitor flag off.
bool TakeKeyboardActivity();

// A copy of the record of the last key event the hook saw.
KBDLLHOOKSTRUCT LastKeyInfo();
