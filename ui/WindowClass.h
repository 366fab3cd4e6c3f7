// What every window class of both programs does the same way: registering the class once per
// process (ui/Window.h ties each window to its object).
#pragma once

#include <windows.h>

// Dialog keys (Tab, Enter, Esc, arrows) for a modeless window with controls: true when `msg`
// was meant for `dialog` or one of its controls and has been handled as a dialog key.
bool IsDialogKeyMessage(HWND dialog, MSG* msg);

// Registers the class that `wc` describes (cbSize is set here). True when the class is
// registered now or was already; false when it is not there to create windows from.
bool EnsureWindowClass(WNDCLASSEXA& wc);
