// Window class registration and dialog-key routing shared by the windows of both programs.
#include "ui/WindowClass.h"

// A second window of the same kind in the same process finds its class already there, which is
// success. RegisterClassExA says so with ERROR_CLASS_ALREADY_EXISTS; the class lookup covers a
// failure that leaves another error code while the class exists all the same.
bool EnsureWindowClass(WNDCLASSEXA& wc) {
    wc.cbSize = sizeof wc;
    if (RegisterClassExA(&wc)) return true;
    if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    return GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing) != FALSE;
}

bool IsDialogKeyMessage(HWND dialog, MSG* msg) {
    if (!dialog || !msg || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return false;
    return IsDialogMessageA(dialog, msg) != FALSE;
}
