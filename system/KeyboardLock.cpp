// Low-level keyboard hook of the locked computer. The decision itself is the pure LockKeyFilter.
//
// The hook has a thread of its own. A low-level hook is called through the message loop of the
// thread that installed it, and the system waits for the answer only a short time
// (LowLevelHooksTimeout): then it lets the key through, and from Windows 7 on it silently removes
// the hook for good. The user-interface thread blocks for a second or more at a time (the fade
// after Enter, the pause before a pattern check, the monitor switch-off, the wipes), and the
// Enter that starts the fade has its own release arrive in the middle of it; on that thread the
// filter would be gone after the first Enter. So this thread does nothing but answer, and it
// shares with the rest of the program only atomics and one small lock.
//
// Windows may still drop the hook (and another program's hook installed after ours is asked
// first), so while locked the hook is replaced every few seconds and after a resume or a
// session unlock; the thread stays, only its hook is renewed.
#include "system/KeyboardLock.h"

#include <wtsapi32.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "system/KeyFilter.h"
#include "system/SystemLibrary.h"
#include "system/WinHandles.h"

namespace {

KBDLLHOOKSTRUCT KeyInfo{};        // the last key event seen; written on the hook thread
LockKeyFilter Filter;             // what the system saw pressed; used on the hook thread
std::mutex KeyInfoLock;           // guards KeyInfo and Filter
std::atomic<int32_t> HookUnlockMode{0};
std::atomic<bool> HookLockAllKeys{true};
std::atomic<bool> KeyActivity{false};
std::atomic<HWND> KeyTarget{nullptr};   // the lock window: where held-back keys it needs go
const DWORD OwnProcessId = GetCurrentProcessId();

// User-interface thread only: whether a hook should be in (between HookKeyboard(true) and
// HookKeyboard(false)), and when it was last put in.
bool HookWanted = false;
DWORD LastInstallTick = 0;

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
constexpr DWORD kRenewEveryMs = 3000;
constexpr UINT kMsgReinstallHook = WM_APP + 1;   // a thread message to the hook thread

HHOOK InstallHook() {
    return SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, GetModuleHandleA(nullptr), 0);
}

bool IsKeyMessage(WPARAM wParam) {
    return wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN || wParam == WM_KEYUP ||
           wParam == WM_SYSKEYUP;
}

DWORD WINAPI HookThreadMain(void* param) {
    auto* start = static_cast<HookStart*>(param);
    MSG msg;
    // The message queue must exist before HookKeyboard(false) posts WM_QUIT to it.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    UniqueHhook hook(InstallHook());
    start->installed = static_cast<bool>(hook);
    SetEvent(start->ready);   // `start` is gone from here on
    if (!hook) return 0;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kMsgReinstallHook) {
            // The assignment removes the old hook only after the new one is in, so no key
            // passes unfiltered in between. Should the install fail, the old hook stays.
            UniqueHhook fresh(InstallHook());
            if (fresh) hook = std::move(fresh);
            continue;
        }
        DispatchMessageA(&msg);
    }
    return 0;                 // the hook goes with `hook`
}

void StopHookThread() {
    if (!KeyboardHook.thread) return;
    PostThreadMessageA(KeyboardHook.threadId, WM_QUIT, 0, 0);
    // The thread only answers hook calls, so it ends at once; should it not, the hook
    // stays until the process ends, which is still better than blocking the unlock.
    WaitForSingleObject(KeyboardHook.thread.get(), kStopTimeoutMs);
    KeyboardHook = HookThread{};
}

void StartHookThread() {
    LastInstallTick = GetTickCount();
    // A failed install leaves the keyboard free; the lock itself still stands, and the next
    // renewal tries again.
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

// Posted, never sent: the hook must not wait for the user-interface thread. The lock window
// handles the key as if it had the keyboard.
void HandToLock(const KBDLLHOOKSTRUCT& info) {
    HWND target = KeyTarget.load();
    if (!target) return;
    LPARAM lParam = 1 | static_cast<LPARAM>((info.scanCode & 0xFF) << 16);
    if (info.flags & LLKHF_EXTENDED) lParam |= LPARAM{1} << 24;
    PostMessageA(target, WM_KEYDOWN, info.vkCode, lParam);
}

}  // namespace

void HookKeyboard(bool isHook, int32_t unlockMode, bool lockAllKeys, HWND keyTarget) {
    HookWanted = isHook;
    KeyTarget.store(isHook ? keyTarget : nullptr);
    if (!isHook) {
        StopHookThread();
        return;
    }
    HookLockAllKeys.store(lockAllKeys);
    if (KeyboardHook.thread) return;
    SyncKeyboardUnlockMode(unlockMode);
    {
        // Keys pressed or released while no hook ran are unknown: start from nothing held.
        std::lock_guard<std::mutex> lock(KeyInfoLock);
        Filter = LockKeyFilter{};
    }
    StartHookThread();
}

void ReinstallKeyboardHook() {
    if (!HookWanted) return;
    // A thread that has ended (it cannot, short of a failed message loop) is replaced whole.
    if (KeyboardHook.thread && WaitForSingleObject(KeyboardHook.thread.get(), 0) == WAIT_OBJECT_0)
        KeyboardHook = HookThread{};
    if (!KeyboardHook.thread) {
        StartHookThread();
        return;
    }
    LastInstallTick = GetTickCount();
    PostThreadMessageA(KeyboardHook.threadId, kMsgReinstallHook, 0, 0);
}

void RenewKeyboardHookWhenDue() {
    if (HookWanted && GetTickCount() - LastInstallTick >= kRenewEveryMs) ReinstallKeyboardHook();
}

void ReinstallKeyboardHookAfter(UINT msg, WPARAM wParam) {
    const bool resumed =
        msg == WM_POWERBROADCAST && (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND);
    const bool sessionBack = msg == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK;
    if (resumed || sessionBack) ReinstallKeyboardHook();
}

void WatchSessionChanges(HWND hwnd, bool watch) {
    if (!hwnd) return;
    // Without the notification the periodic renewal still brings a dropped hook back, only
    // a few seconds later, so a failure here is not looked at.
    using Register = BOOL(WINAPI*)(HWND, DWORD);
    using Unregister = BOOL(WINAPI*)(HWND);
    static const auto registerFor = SystemFunction<Register>("wtsapi32.dll", "WTSRegisterSessionNotification");
    static const auto unregister = SystemFunction<Unregister>("wtsapi32.dll", "WTSUnRegisterSessionNotification");
    if (watch && registerFor)
        registerFor(hwnd, NOTIFY_FOR_THIS_SESSION);
    else if (!watch && unregister)
        unregister(hwnd);
}

// Both calls only read what the window manager keeps; neither waits for another thread, so the
// hook may ask them. No foreground at all (a switch in progress, another desktop) is not ours.
bool IsForegroundOurs() {
    DWORD process = 0;
    HWND foreground = GetForegroundWindow();
    return foreground && GetWindowThreadProcessId(foreground, &process) && process == OwnProcessId;
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
        const bool isUp = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        // Wine never sets LLKHF_ALTDOWN; a system-key message says Alt as well.
        const bool altFlag =
            (info.flags & LLKHF_ALTDOWN) != 0 || wParam == WM_SYSKEYDOWN || wParam == WM_SYSKEYUP;
        const bool ours = IsForegroundOurs();
        KeyRoute route;
        {
            std::lock_guard<std::mutex> lock(KeyInfoLock);
            KeyInfo = info;
            route = Filter.Route(info.vkCode, isUp, altFlag, HookLockAllKeys.load(), HookUnlockMode.load(), ours);
        }
        // Any key counts as activity, even one that is swallowed: it wakes the monitor logic.
        if (info.vkCode != 0) KeyActivity.store(true);
        if (route == KeyRoute::HandToLock) HandToLock(info);
        if (route != KeyRoute::Pass) return 1;
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
