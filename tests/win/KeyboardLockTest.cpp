// The keyboard filter against Wine's real low-level hook chain. The test installs an observer
// hook first; the lock's hook, installed later, is asked first, so the observer sees exactly the
// keys the lock lets through. Keys are injected with SendInput from a helper thread while this
// thread pumps messages (low-level hooks run through the installing thread's message loop: the
// observer's is this one, the lock's is a thread of its own).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "system/KeyboardLock.h"
#include "system/PowerActions.h"
#include "support/LockStateTestAccess.h"

namespace {

struct KeyEvent {
    DWORD vk;
    bool up;
    bool operator==(const KeyEvent&) const = default;
};

std::vector<KeyEvent> Seen;

// Records and swallows whatever reaches it, so no injected key ends up anywhere else.
LRESULT CALLBACK ObserverProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        Seen.push_back({info->vkCode, wp == WM_KEYUP || wp == WM_SYSKEYUP});
        return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Sends each key down and up, from another thread, and pumps this thread's messages until
// `done` holds. The deadline only ends a test that is already failing.
bool InjectAndPump(const std::vector<WORD>& keys, const std::function<bool()>& done) {
    std::vector<INPUT> inputs;
    for (WORD vk : keys) {
        inputs.push_back(KeyInput(vk, false));
        inputs.push_back(KeyInput(vk, true));
    }
    std::thread sender([&inputs] {
        for (INPUT& input : inputs) SendInput(1, &input, sizeof input);
    });
    const DWORD start = GetTickCount();
    bool reached = false;
    while (!(reached = done()) && GetTickCount() - start < 15000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    sender.join();
    // Let events still queued behind the condition settle before the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return reached;
}

// Sends the keys followed by Enter, which every mode lets through; events keep their order,
// so once the observer has Enter's release every earlier key has been decided.
std::vector<KeyEvent> PassedKeys(const std::vector<WORD>& keys) {
    Seen.clear();
    std::vector<WORD> all = keys;
    all.push_back(VK_RETURN);
    const bool arrived = InjectAndPump(all, [] {
        return !Seen.empty() && Seen.back() == KeyEvent{VK_RETURN, true};
    });
    EXPECT_TRUE(arrived) << "the closing Enter never reached the observer hook";
    std::vector<KeyEvent> passed = Seen;
    if (arrived) passed.resize(passed.size() - 2);   // drop Enter down and up
    return passed;
}

std::vector<KeyEvent> DownUp(std::initializer_list<WORD> keys) {
    std::vector<KeyEvent> events;
    for (WORD vk : keys) {
        events.push_back({vk, false});
        events.push_back({vk, true});
    }
    return events;
}

class KeyboardLock : public ::testing::Test {
protected:
    void SetUp() override {
        // The lock passes keys only to a foreground window of its own process.
        foreground_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, 0, 0, 0, 0);
        ASSERT_TRUE(foreground_ && SetForegroundWindow(foreground_));
        observer_ = SetWindowsHookExA(WH_KEYBOARD_LL, ObserverProc, GetModuleHandleA(nullptr), 0);
        ASSERT_NE(observer_, nullptr);
        LockStateTestAccess::SetMonitorOff(false);
    }
    void TearDown() override {
        HookKeyboard(false);
        if (observer_) UnhookWindowsHookEx(observer_);
        if (foreground_) DestroyWindow(foreground_);
    }
    HHOOK observer_ = nullptr;
    HWND foreground_ = nullptr;
};

const std::vector<WORD> kShortcutKeys = {VK_LWIN, VK_RWIN, VK_MENU, VK_TAB, VK_F4, VK_CONTROL,
                                         VK_ESCAPE, VK_SHIFT, VK_SPACE, VK_LEFT, VK_DELETE};

}  // namespace

TEST_F(KeyboardLock, ObserverSeesEveryKeyWithoutTheLock) {
    // Guards the set-up: without the lock's hook nothing is filtered.
    EXPECT_EQ(PassedKeys({'A', '5', VK_LWIN}), DownUp({'A', '5', VK_LWIN}));
}

TEST_F(KeyboardLock, NormalAndSecureModesPassOnlyBackspaceEnterEsc) {
    HookKeyboard(true);
    ASSERT_TRUE(IsKeyboardHooked());
    for (int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        SyncKeyboardUnlockMode(mode);
        std::vector<WORD> keys = {'A', 'Z', '0', '5', '9', VK_NUMPAD5, VK_F1, VK_TAB};
        keys.insert(keys.end(), kShortcutKeys.begin(), kShortcutKeys.end());
        keys.push_back(VK_BACK);
        // Esc is in the shortcut list: it passes, the others around it do not.
        EXPECT_EQ(PassedKeys(keys), DownUp({VK_ESCAPE, VK_BACK}));
    }
}

TEST_F(KeyboardLock, DynamicPasswordModePassesMainKeyboardDigitsAndLettersOnly) {
    HookKeyboard(true, 2);   // takes the mode of the moment
    const std::vector<WORD> keypad = {VK_NUMPAD0, VK_NUMPAD5, VK_NUMPAD9, VK_MULTIPLY, VK_ADD};
    std::vector<WORD> keys = {'A', 'Z', '0', '9'};
    keys.insert(keys.end(), keypad.begin(), keypad.end());
    keys.insert(keys.end(), {VK_LWIN, VK_TAB, VK_MENU, VK_SPACE, VK_BACK});
    EXPECT_EQ(PassedKeys(keys), DownUp({'A', 'Z', '0', '9', VK_BACK}));
}

TEST_F(KeyboardLock, ModeChangeTakesEffectWithoutReinstalling) {
    HookKeyboard(true);
    SyncKeyboardUnlockMode(2);
    EXPECT_EQ(PassedKeys({'Q'}), DownUp({'Q'}));
    SyncKeyboardUnlockMode(0);
    EXPECT_EQ(PassedKeys({'Q'}), std::vector<KeyEvent>{});
}

TEST_F(KeyboardLock, SwallowedKeyStillWakesTheMonitorAndIsRecorded) {
    HookKeyboard(true);
    TakeKeyboardActivity();
    const bool decided = InjectAndPump({VK_LWIN}, [] {
        const KBDLLHOOKSTRUCT info = LastKeyInfo();
        return info.vkCode == VK_LWIN && (info.flags & LLKHF_UP);
    });
    ASSERT_TRUE(decided) << "the lock's hook never saw the key";
    EXPECT_TRUE(LastKeyInfo().flags & LLKHF_INJECTED);
    // The idle measurement takes the activity over on this thread; with the last-input tick
    // already known, only the hook's report can clear the monitor flag.
    LASTINPUTINFO last{sizeof(LASTINPUTINFO), 0};
    ASSERT_TRUE(GetLastInputInfo(&last));
    LockStateTestAccess::SetLastInputTick(last.dwTime);
    LockStateTestAccess::SetMonitorOff(true);
    TestSession().MeasureIdleSeconds();
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
    LockStateTestAccess::SetMonitorOff(true);
    TestSession().MeasureIdleSeconds();
    EXPECT_TRUE(CurrentLockState().IsMonitorOff()) << "the same key woke the monitor twice";
    LockStateTestAccess::SetMonitorOff(false);
}

// The installing thread may be busy for seconds (fades, pauses); keys must be decided anyway,
// or the platform lets them through after its time-out (and Windows removes the hook). Here
// this thread installs the lock and then waits without pumping a single message, while an
// observer on another thread, installed first, must still get Enter and never the letter.
namespace {
struct BusyObserver {
    HANDLE installed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE enterSeen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<KeyEvent> seen;   // written by the observer thread only, read after it ended
    ~BusyObserver() {
        for (HANDLE h : {installed, enterSeen, stop})
            if (h) CloseHandle(h);
    }
};
BusyObserver* Busy = nullptr;

LRESULT CALLBACK BusyObserverProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp && Busy) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const bool up = wp == WM_KEYUP || wp == WM_SYSKEYUP;
        Busy->seen.push_back({info->vkCode, up});
        if (info->vkCode == VK_RETURN && up) SetEvent(Busy->enterSeen);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void RunBusyObserver() {
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, BusyObserverProc, GetModuleHandleA(nullptr), 0);
    SetEvent(Busy->installed);
    while (hook && MsgWaitForMultipleObjects(1, &Busy->stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (hook) UnhookWindowsHookEx(hook);
}
}  // namespace

TEST_F(KeyboardLock, DecidesWhileTheInstallingThreadIsBusy) {
    UnhookWindowsHookEx(observer_);
    observer_ = nullptr;
    BusyObserver observed;
    Busy = &observed;
    std::thread observer(RunBusyObserver);
    if (WaitForSingleObject(observed.installed, 10000) != WAIT_OBJECT_0) {
        SetEvent(observed.stop);
        observer.join();
        FAIL() << "the observer thread did not start";
    }
    HookKeyboard(true);
    std::thread sender([] {
        for (WORD vk : {WORD('A'), WORD(VK_RETURN)}) {
            INPUT input[2] = {KeyInput(vk, false), KeyInput(vk, true)};
            SendInput(2, input, sizeof(INPUT));
        }
    });
    // No message pumping on this thread until the observer has Enter's release.
    const DWORD waited = WaitForSingleObject(observed.enterSeen, 10000);
    sender.join();
    SetEvent(observed.stop);
    observer.join();
    Busy = nullptr;
    EXPECT_EQ(waited, WAIT_OBJECT_0) << "no key was decided while the installing thread was busy";
    EXPECT_EQ(observed.seen, DownUp({VK_RETURN}));
}

TEST_F(KeyboardLock, SecondInstallIsIgnoredAndOneRemovalFreesTheKeyboard) {
    HookKeyboard(true);
    HookKeyboard(true);
    HookKeyboard(false);
    EXPECT_FALSE(IsKeyboardHooked());
    // A leaked first hook would still swallow the letter here.
    EXPECT_EQ(PassedKeys({'A'}), DownUp({'A'}));
    HookKeyboard(false);   // nothing installed: nothing happens
    EXPECT_FALSE(IsKeyboardHooked());
}
