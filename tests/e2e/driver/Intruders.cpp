// Another program pushing in while locked: a topmost window that never takes the focus (as a
// notification), and a program that keeps taking the foreground.
#include "Driver.h"

#include <cstdio>

#include "system/WinHandles.h"

namespace {

UniqueHwnd MakeIntruder(DWORD exStyle) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvoDriverIntruder";
    RegisterClassA(&wc);
    return UniqueHwnd(CreateWindowExA(exStyle, wc.lpszClassName, "", WS_POPUP, 40, 40, 300, 200, nullptr, nullptr,
                                      wc.hInstance, nullptr));
}

// True when a visible window of the class lies above hwnd.
bool ClassAbove(HWND hwnd, const std::string& className) {
    for (HWND above = GetWindow(hwnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV))
        if (IsWindowVisible(above) && WindowClassOf(above) == className) return true;
    return false;
}

}  // namespace

int CmdTopmostIntruder(const Args& args) {
    auto timeout = args.size() == 3 ? ParseNumber(args[2]) : std::nullopt;
    if (!timeout) return Fail("usage: topmost-intruder <class> <timeout_ms>", kExitUsage);
    UniqueHwnd intruder = MakeIntruder(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    SetWindowPos(intruder.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const uint64_t start = NowMs();
    std::printf("on_top_at_start=%d\n", ClassAbove(intruder.get(), args[1]) ? 0 : 1);
    while (!ClassAbove(intruder.get(), args[1])) {
        if (NowMs() - start >= static_cast<uint64_t>(*timeout)) return Fail("still on top");
        PumpFor(5);
    }
    std::printf("covered_after_ms=%llu\n", static_cast<unsigned long long>(NowMs() - start));
    return kExitOk;
}

int CmdStealForegroundLoop(const Args& args) {
    auto duration = args.size() == 3 ? ParseNumber(args[1]) : std::nullopt;
    auto interval = args.size() == 3 ? ParseNumber(args[2]) : std::nullopt;
    if (!duration || !interval || *interval <= 0) return Fail("usage: steal-foreground-loop <ms> <ms>", kExitUsage);
    UniqueHwnd thief = MakeIntruder(0);
    ShowWindow(thief.get(), SW_SHOW);
    int tries = 0, taken = 0;
    for (const uint64_t start = NowMs(); NowMs() - start < static_cast<uint64_t>(*duration); ++tries, PumpFor(*interval))
        taken += SetForegroundWindow(thief.get()) ? 1 : 0;
    std::printf("tries=%d\ntaken=%d\n", tries, taken);
    return kExitOk;
}
