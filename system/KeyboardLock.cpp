// Low-level keyboard hook of the locked computer. The decision itself is the pure KeyPassesLock;
// this file only copies the platform's record and answers at once, because the platform lets a
// key through on its own when a low-level hook is slow to answer.
#include "system/KeyboardLock.h"

#include <cstring>

#include "system/KeyFilter.h"
#include "system/LockStateRefs.h"
#include "system/WinHandles.h"

KBDLLHOOKSTRUCT KeyInfo{};

namespace {
UniqueHhook gKeyboardHook;

bool IsKeyMessage(WPARAM wParam) {
    return wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN || wParam == WM_KEYUP ||
           wParam == WM_SYSKEYUP;
}
}  // namespace

void HookKeyboard(bool isHook) {
    if (isHook) {
        if (gKeyboardHook) return;
        // A failed install leaves the keyboard free; the lock itself still stands.
        gKeyboardHook.reset(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, GetModuleHandleA(nullptr), 0));
    } else {
        gKeyboardHook.reset();
    }
}

bool IsKeyboardHooked() { return static_cast<bool>(gKeyboardHook); }

LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION && IsKeyMessage(wParam) && lParam != 0) {
        std::memcpy(&KeyInfo, reinterpret_cast<const void*>(lParam), sizeof KeyInfo);
        const LockStateRefs& state = BoundLockState();
        // Any key counts as activity, even one that is swallowed: it wakes the monitor logic.
        if (KeyInfo.vkCode != 0 && state.IsMonitorOff) *state.IsMonitorOff = false;
        const int32_t mode = state.CurrentUnlockMode ? *state.CurrentUnlockMode : 0;
        // Up events are filtered like down events so no key is left half pressed.
        if (!KeyPassesLock(KeyInfo.vkCode, mode)) return 1;
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
