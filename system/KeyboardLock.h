// The keyboard filter while locked: a system-wide low-level hook that swallows every key the
// lock window does not need (Windows keys, Alt+Tab, Alt+F4, Ctrl+Esc reach nothing).
#pragma once

#include <windows.h>

// Installs (true) or removes (false) the hook; at most one is installed at a time.
void HookKeyboard(bool isHook);

// The hook procedure: lets Backspace, Enter, Esc (and in Dynamic Password Mode the main
// keyboard's digits and letters) through, swallows the rest, down and up alike.
LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);

bool IsKeyboardHooked();

// The record of the last key event the hook saw.
extern KBDLLHOOKSTRUCT KeyInfo;
