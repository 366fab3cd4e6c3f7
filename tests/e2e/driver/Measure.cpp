// Timings taken from outside the program, for the bench: hot key to covered screen, pattern
// release to uncovered screen, repeated lock cycles, and the program's resource figures.
#include "Driver.h"

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "system/Registry.h"
#include "system/WinHandles.h"

namespace {

constexpr DWORD kPollMs = 1;

bool AnyVisible(const std::string& className, const std::string& title) {
    for (HWND hwnd : FindTopWindows(className, title))
        if (IsWindowVisible(hwnd)) return true;
    return false;
}

// Polls until a matching window is visible (wantVisible) or none is; -1 on timeout.
long long WaitVisible(const std::string& className, const std::string& title, bool wantVisible, uint64_t start,
                      long long timeoutMs) {
    for (;;) {
        uint64_t elapsed = NowMs() - start;
        if (AnyVisible(className, title) == wantVisible) return static_cast<long long>(elapsed);
        if (static_cast<long long>(elapsed) >= timeoutMs) return -1;
        Sleep(kPollMs);
    }
}

// Sends the hot key and returns the ms from its key-down until each target (class, title)
// shows, -1 for one that did not within the timeout; empty when the key could not be sent. The
// targets are watched on a thread of their own from the key-down on: the key-ups that follow
// it take their own pauses, and a window that shows meanwhile must not be seen late.
std::vector<long long> TimeHotkeyShows(const std::vector<WORD>& keys,
                                       const std::vector<std::pair<std::string, std::string>>& targets,
                                       long long timeoutMs) {
    std::atomic<uint64_t> start{0};
    std::vector<long long> shown(targets.size(), -1);
    std::thread watch([&] {
        while (start.load() == 0) Sleep(kPollMs);
        if (start.load() == UINT64_MAX) return;
        for (size_t i = 0; i < targets.size(); ++i)
            shown[i] = WaitVisible(targets[i].first, targets[i].second, true, start.load(), timeoutMs);
    });
    const bool sent = InjectHotkey(keys, [&] { start = NowMs(); });
    if (start.load() == 0) start = UINT64_MAX;   // no key-down went out: the watch ends
    watch.join();
    if (!sent) return {};
    return shown;
}

long long TimeHotkey(const std::vector<WORD>& keys, const std::string& className, const std::string& title,
                     long long timeoutMs) {
    const auto shown = TimeHotkeyShows(keys, {{className, title}}, timeoutMs);
    return shown.empty() ? -1 : shown[0];
}

// Drags and returns the ms from the button release until no matching window shows; -1 on timeout.
long long TimeDrag(const std::vector<POINT>& points, const std::string& className, const std::string& title,
                   long long timeoutMs) {
    if (InjectDrag(points, true) < 0) return -1;
    return WaitVisible(className, title, false, NowMs(), timeoutMs);
}

}  // namespace

// hotkey-time <mod+key> <class|-> <title|-> <timeout_ms> [<class2|-> <title2|->]: with a second
// window (the lock window after the cover), also the ms from the key-down until that one shows.
int CmdHotkeyTime(const Args& args) {
    if (args.size() != 5 && args.size() != 7)
        return Fail("usage: hotkey-time <mod+key> <class|-> <title|-> <timeout_ms> [<class2|-> <title2|->]", kExitUsage);
    auto keys = ParseHotkey(args[1]);
    auto timeout = ParseNumber(args[4]);
    if (!keys || !timeout) return Fail("bad hot key or timeout", kExitUsage);
    std::vector<std::pair<std::string, std::string>> targets{{args[2], args[3]}};
    if (args.size() == 7) targets.emplace_back(args[5], args[6]);
    const auto shown = TimeHotkeyShows(*keys, targets, *timeout);
    if (shown.empty()) return Fail("the hot key could not be sent");
    if (shown[0] < 0) return Fail("no visible window " + args[2] + " / " + args[3] + " after " + args[4] + " ms");
    std::printf("visible_after_ms=%lld\n", shown[0]);
    if (args.size() == 7) {
        if (shown[1] < 0) return Fail("no visible window " + args[5] + " / " + args[6] + " after " + args[4] + " ms");
        std::printf("then_visible_after_ms=%lld\n", shown[1]);
    }
    return kExitOk;
}

// hotkey-policy-time <mod+key> <timeout_ms>: from the hot key until the account's DisableTaskmgr
// policy value holds 1 (the lock's restrictions in force).
int CmdHotkeyPolicyTime(const Args& args) {
    auto keys = args.size() == 3 ? ParseHotkey(args[1]) : std::nullopt;
    auto timeout = args.size() == 3 ? ParseNumber(args[2]) : std::nullopt;
    if (!keys || !timeout) return Fail("usage: hotkey-policy-time <mod+key> <timeout_ms>", kExitUsage);
    constexpr char kKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    uint64_t start = 0;
    if (!InjectHotkey(*keys, [&] { start = NowMs(); })) return Fail("hot key not sent");
    for (;;) {
        const long long elapsed = static_cast<long long>(NowMs() - start);
        const RegistryValue value = ReadRegistryValue(kKey, "DisableTaskmgr");
        const auto* number = std::get_if<int32_t>(&value);
        if (number && *number == 1) {
            std::printf("policies_after_ms=%lld\n", elapsed);
            return kExitOk;
        }
        if (elapsed >= *timeout) return Fail("no policy after " + args[2] + " ms");
        Sleep(kPollMs);
    }
}

// drag-time <class|-> <title|-> <timeout_ms> x,y ...: from the release until the window is gone.
int CmdDragTime(const Args& args) {
    auto points = ParsePoints(args, 4);
    auto timeout = args.size() > 4 ? ParseNumber(args[3]) : std::nullopt;
    if (!points || points->empty() || !timeout)
        return Fail("usage: drag-time <class|-> <title|-> <timeout_ms> x,y ...", kExitUsage);
    long long ms = TimeDrag(*points, args[1], args[2], *timeout);
    if (ms < 0) return Fail("window " + args[1] + " / " + args[2] + " still visible after " + args[3] + " ms");
    std::printf("hidden_after_ms=%lld\n", ms);
    return kExitOk;
}

// cycles <n> <class|-> <title|-> <timeout_ms> x,y ...: n times Win+A, wait for the window,
// drag the pattern, wait until it is gone. Prints the mean times; stops at the first failure.
int CmdCycles(const Args& args) {
    auto count = args.size() > 5 ? ParseNumber(args[1]) : std::nullopt;
    auto timeout = args.size() > 5 ? ParseNumber(args[4]) : std::nullopt;
    auto points = ParsePoints(args, 5);
    if (!count || *count < 1 || !timeout || !points || points->empty())
        return Fail("usage: cycles <n> <class|-> <title|-> <timeout_ms> x,y ...", kExitUsage);
    std::vector<WORD> keys = {VK_LWIN, 'A'};
    long long lockSum = 0, unlockSum = 0;
    uint64_t start = NowMs();
    for (long long i = 1; i <= *count; ++i) {
        long long locked = TimeHotkey(keys, args[2], args[3], *timeout);
        if (locked < 0) return Fail("cycle " + std::to_string(i) + ": the lock did not come up");
        Sleep(100);   // let the lock window take the focus before the drag
        long long unlocked = TimeDrag(*points, args[2], args[3], *timeout);
        if (unlocked < 0) return Fail("cycle " + std::to_string(i) + ": the pattern did not unlock");
        lockSum += locked;
        unlockSum += unlocked;
        Sleep(100);
    }
    std::printf("cycles=%lld total_s=%.1f mean_lock_ms=%lld mean_unlock_ms=%lld\n", *count,
                double(NowMs() - start) / 1000.0, lockSum / *count, unlockSum / *count);
    return kExitOk;
}

// process-stats <windows pid>: private bytes, working set, handle count, GDI and USER objects.
int CmdProcessStats(const Args& args) {
    auto pid = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!pid || *pid <= 0) return Fail("usage: process-stats <pid>", kExitUsage);
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(*pid)));
    if (!process) return Fail("cannot open process " + args[1] + ", error " + std::to_string(GetLastError()));
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        std::printf("private_bytes=%llu\n", static_cast<unsigned long long>(memory.PrivateUsage));
        std::printf("working_set=%llu\n", static_cast<unsigned long long>(memory.WorkingSetSize));
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(process.get(), &handles)) std::printf("handles=%lu\n", static_cast<unsigned long>(handles));
    std::printf("gdi_objects=%lu\n", static_cast<unsigned long>(GetGuiResources(process.get(), GR_GDIOBJECTS)));
    std::printf("user_objects=%lu\n", static_cast<unsigned long>(GetGuiResources(process.get(), GR_USEROBJECTS)));
    return kExitOk;
}
