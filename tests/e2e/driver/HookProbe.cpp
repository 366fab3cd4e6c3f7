// A low-level keyboard hook of our own: started before the program locks, it sits below the
// program's hook in the chain and so sees only the keys the program lets through.
#include "Driver.h"

#include <cstdio>

#include "system/WinHandles.h"

namespace {
std::vector<std::pair<DWORD, WPARAM>> SeenKeys;

LRESULT CALLBACK ProbeProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp != 0) {
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        SeenKeys.emplace_back(info->vkCode, wp);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

// Prints "ready" once the hook is in place, then after the duration every key event it saw
// ("vk=0x41 down") and a summary line of the key-down codes.
int CmdLowLevelHookProbe(const Args& args) {
    if (args.size() != 2) return Fail("usage: lowlevel-hook-probe <duration_ms>", kExitUsage);
    auto duration = ParseNumber(args[1]);
    if (!duration || *duration < 0) return Fail("bad duration", kExitUsage);
    UniqueHhook hook(SetWindowsHookExA(WH_KEYBOARD_LL, ProbeProc, GetModuleHandleA(nullptr), 0));
    if (!hook) return Fail("SetWindowsHookEx failed, error " + std::to_string(GetLastError()));
    std::printf("ready\n");
    std::fflush(stdout);
    PumpFor(static_cast<DWORD>(*duration));
    hook.reset();
    std::string downs;
    for (const auto& [vk, msg] : SeenKeys) {
        bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
        std::printf("vk=0x%02lx %s\n", static_cast<unsigned long>(vk), down ? "down" : "up");
        if (down) {
            char text[8];
            std::snprintf(text, sizeof(text), "%s0x%02lx", downs.empty() ? "" : ",", static_cast<unsigned long>(vk));
            downs += text;
        }
    }
    std::printf("downs=%s\n", downs.c_str());
    return kExitOk;
}
