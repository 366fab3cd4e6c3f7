// Low-level keyboard hook of the locked computer. The decision itself is the pure KeyPassesLock.
//
// The hook has a thread of its own. A low-level hook is called through the message loop of the
// thread that installed it, and the system waits for the answer only a short time
// (LowLevelHooksTimeout): then it lets the key through, and from Windows 7 on it silently removes
// the hook for good. The user-interface thread blocks for a second or more at a time (the fade
// after Enter, the pause before a pattern check, the monitor switch-off, the wipes), and the
// Enter that starts the fade has its own release arrive in the middle of it; on that thread the
// filter would be gone after the first Enter. So this thread does nothing but answer, and it
// shares with the rest of the program only atomics and one small lock.
#include "system/KeyboardLock.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include "system/KeyFilter.h"
#include "system/WinHandles.h"

namespace {

KBDLLHOOKSTRUCT KeyInfo{};        // the last key event seen; written on the hook thread
std::mutex KeyInfoLock;
std::atomic<int32_t> HookUnlockMode{0};
std::atomic<bool> KeyActivity{false};

struct HookThread {
    UniqueHandle thread;
    DWORD threadId = 0;
};
HookThread KeyboardHook;          // no thread: no hook installed

// Handed to the new thread; lives on HookKeyboard's stack until `ready` is set.
struct HookStart {
    HANDLE ready = nullptr;
    bool installed = false;
};

constexpr DWORD kStopTimeoutMs = 5000;

bool IsKeyMessage(WPARAM wParam) {
    return wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN || wParam == WM_KEYUP ||
           wParam == WM_SYSKEYUP;
}

DWORD WINAPI HookThreadMain(void* param) {
    auto* start = static_cast<HookStart*>(param);
    MSG msg;
    // The message queue must exist before HookKeyboard(false) posts WM_QUIT to it.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    UniqueHhook hook(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, GetModuleHandleA(nullptr), 0));
    start->installed = static_cast<bool>(hook);
    SetEvent(start->ready);   // `start` is gone from here on
    if (!hook) return 0;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;                 // the hook goes with `hook`
}

}  // namespace

void HookKeyboard(bool isHook, int32_t unlockMode) {
    if (!isHook) {
        if (!KeyboardHook.thread) return;
        PostThreadMessageA(KeyboardHook.threadId, WM_QUIT, 0, 0);
        // The thread only answers hook calls, so it ends at once; should it not, the hook
        // stays until the process ends, which is still better than blocking the unlock.
        WaitForSingleObject(KeyboardHook.thread.get(), kStopTimeoutMs);
        KeyboardHook = HookThread{};
        return;
    }
    if (KeyboardHook.thread) return;
    SyncKeyboardUnlockMode(unlockMode);
    // A failed install leaves the keyboard free; the lock itself still stands.
    UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!ready) return;
    HookStart start;
    start.ready = ready.get();
    DWORD threadId = 0;
    UniqueHandle thread(CreateThread(nullptr, 0, HookThreadMain, &start, 0, &threadId));
    if (!thread) return;
    // Its only work is a few comparisons per key, and it must win against a busy machine.
    SetThreadPriority(thread.get(), THREAD_PRIORITY_HIGHEST);
    // Until `ready` the thread uses `start` on this stack; a thread that ended early (it
    // cannot) must not leave this wait hanging.
    const HANDLE waits[2] = {ready.get(), thread.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (!start.installed) {
        WaitForSingleObject(thread.get(), INFINITE);   // it returns right after the failure
        return;
    }
    KeyboardHook.thread = std::move(thread);
    KeyboardHook.threadId = threadId;
}

bool IsKeyboardHooked() { return static_cast<bool>(KeyboardHook.thread); }

void SyncKeyboardUnlockMode(int32_t mode) { HookUnlockMode.store(mode); }

bool TakeKeyboardActivity() { return KeyActivity.exchange(false); }

KBDLLHOOKSTRUCT LastKeyInfo() {
    std::lock_guard<std::mutex> lock(KeyInfoLock);
    return KeyInfo;
}

LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION && IsKeyMessage(wParam) && lParam != 0) {
        KBDLLHOOKSTRUCT info;
        std::memcpy(&info, reinterpret_cast<const void*>(lParam), sizeof info);
        {
            std::lock_guard<std::mutex> lock(KeyInfoLock);
            KeyInfo = info;
        }
        // Any key counts as activity, even one that is swallowed: it wakes the monitor logic.
        if (info.vkCode != 0) KeyActivity.store(true);
        // Up events are filtered like down events so no key is left half pressed.
        if (!KeyPassesLock(info.vkCode, HookUnlockMode.load())) return 1;
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
