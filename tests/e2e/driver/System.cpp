// What the system-control scenarios need to see from outside: every key event a low-level hook
// of ours receives, as it happens; the system's view of which keys are down; keys held while a
// window comes up; and the monitors as Wine reports them.
#include "Driver.h"

#include <cstdio>

#include "system/WinHandles.h"

namespace {

uint64_t SpyStart = 0;

// Called only for the keys every hook installed after ours let through (later hooks run first).
LRESULT CALLBACK KeySpyProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp != 0) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
        std::printf("vk=0x%02lx %s ms=%llu\n", static_cast<unsigned long>(info->vkCode), down ? "down" : "up",
                    static_cast<unsigned long long>(NowMs() - SpyStart));
        // The script reads the file while we run: each event must be there at once.
        std::fflush(stdout);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool IsDown(WORD vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

bool AnyVisibleWindow(const std::string& className, const std::string& title) {
    for (HWND hwnd : FindTopWindows(className, title))
        if (IsWindowVisible(hwnd)) return true;
    return false;
}

bool SendKeys(const std::vector<WORD>& keys, bool down) {
    bool ok = true;
    for (size_t i = 0; i < keys.size(); ++i) {
        WORD vk = down ? keys[i] : keys[keys.size() - 1 - i];
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        if (vk == VK_LWIN || vk == VK_RWIN) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        ok = SendInput(1, &input, sizeof(input)) == 1 && ok;
        Sleep(25);
    }
    return ok;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param) {
    auto* index = reinterpret_cast<int*>(param);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& rc = info.rcMonitor;
        std::printf("monitor%d=%ld,%ld,%ld,%ld primary=%d\n", *index, rc.left, rc.top, rc.right, rc.bottom,
                    (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0);
    }
    ++*index;
    return TRUE;
}

}  // namespace

// key-spy <duration_ms>: a low-level keyboard hook that prints each event it receives at once,
// "vk=0x41 down ms=1234" (ms since "ready"), so a script can read what passed while it happens.
int CmdKeySpy(const Args& args) {
    auto duration = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!duration || *duration < 0) return Fail("usage: key-spy <duration_ms>", kExitUsage);
    UniqueHhook hook(SetWindowsHookExA(WH_KEYBOARD_LL, KeySpyProc, GetModuleHandleA(nullptr), 0));
    if (!hook) return Fail("SetWindowsHookEx failed, error " + std::to_string(GetLastError()));
    SpyStart = NowMs();
    std::printf("ready\n");
    std::fflush(stdout);
    PumpFor(static_cast<DWORD>(*duration));
    std::printf("done\n");
    return kExitOk;
}

// key-state <key> ...: "vk=0x5b down=1" per key, the desktop's view of which keys are held.
int CmdKeyState(const Args& args) {
    if (args.size() < 2) return Fail("usage: key-state <key> ...", kExitUsage);
    for (size_t i = 1; i < args.size(); ++i) {
        auto keys = ParseHotkey(args[i]);
        if (!keys || keys->size() != 1) return Fail("unknown key '" + args[i] + "'", kExitUsage);
        std::printf("vk=0x%02x down=%d\n", keys->front(), IsDown(keys->front()) ? 1 : 0);
    }
    return kExitOk;
}

// hotkey-hold <mod+key> <class|-> <title|-> <timeout_ms>: the keys go down and stay down until
// a matching window is visible, then come up: a person who lets go only once the screen changed.
int CmdHotkeyHold(const Args& args) {
    auto keys = args.size() == 5 ? ParseHotkey(args[1]) : std::nullopt;
    auto timeout = args.size() == 5 ? ParseNumber(args[4]) : std::nullopt;
    if (!keys || !timeout || *timeout < 0)
        return Fail("usage: hotkey-hold <mod+key> <class|-> <title|-> <timeout_ms>", kExitUsage);
    if (!SendKeys(*keys, true)) return Fail("SendInput refused a key");
    const uint64_t start = NowMs();
    bool shown = false;
    while (!(shown = AnyVisibleWindow(args[2], args[3])) && NowMs() - start < static_cast<uint64_t>(*timeout))
        Sleep(10);
    const uint64_t held = NowMs() - start;
    Sleep(200);   // held a little longer, as a hand lets go after the eye has seen the change
    bool released = SendKeys(*keys, false);
    std::printf("held_ms=%llu\n", static_cast<unsigned long long>(held));
    if (!released) return Fail("SendInput refused a key");
    if (!shown) return Fail("no visible window " + args[2] + " / " + args[3] + " after " + args[4] + " ms");
    return kExitOk;
}

// monitors: the count and each monitor's rectangle in enumeration order.
int CmdMonitors(const Args&) {
    std::printf("count=%d\n", GetSystemMetrics(SM_CMONITORS));
    std::printf("virtual=%d,%d,%d,%d\n", GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    int index = 0;
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, reinterpret_cast<LPARAM>(&index));
    return kExitOk;
}
