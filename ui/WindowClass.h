// What every window class of both programs does the same way: registering the class once per
// process, and finding the window's object from inside its window procedure.
#pragma once

#include <windows.h>

// Dialog keys (Tab, Enter, Esc, arrows) for a modeless window with controls: true when `msg`
// was meant for `dialog` or one of its controls and has been handled as a dialog key.
bool IsDialogKeyMessage(HWND dialog, MSG* msg);

// Registers the class that `wc` describes (cbSize is set here). True when the class is
// registered now or was already; false when it is not there to create windows from.
bool EnsureWindowClass(WNDCLASSEXA& wc);

// The object a window procedure dispatches to. The object travels as CreateWindowExA's lpParam;
// at WM_NCCREATE it is stored in the window's user data, later messages read it back. Null for
// the messages that come before WM_NCCREATE and for a window created without an object.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE && lp) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// The object of a window of class `className`, for code outside its window procedure; null for
// any other window, so a handle of the wrong kind never reads another class's user data.
template <class T>
T* ObjectOfWindow(HWND hwnd, const char* className) {
    char name[64] = "";
    if (!hwnd || !GetClassNameA(hwnd, name, sizeof name) || lstrcmpA(name, className) != 0) return nullptr;
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
