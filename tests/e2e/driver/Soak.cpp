// Figures for the soak and the start-up time: a process's handles, GDI objects and private
// memory as Wine can tell them, and the time from starting a program to its ready window.
#include "Driver.h"

#include <algorithm>
#include <cstdio>

#include "system/WinHandles.h"
#include "tests/e2e/driver/ProcessCounts.h"

namespace {

// The first top-level window of the process that matches class and title ("-" = any).
bool HasWindow(DWORD processId, const std::string& className, const std::string& title) {
    for (HWND hwnd : FindTopWindows(className, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId) return true;
    }
    return false;
}

// Starts the program, waits for its window and ends it; ms from CreateProcess until the
// window exists, or -1.
long long TimeOneStart(const std::string& program, const std::string& className, const std::string& title,
                       long long timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + program + "\"";
    const uint64_t start = NowMs();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    long long elapsed = -1;
    for (;;) {
        if (HasWindow(info.dwProcessId, className, title)) {
            elapsed = static_cast<long long>(NowMs() - start);
            break;
        }
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) break;
        if (static_cast<long long>(NowMs() - start) >= timeoutMs) break;
        Sleep(1);
    }
    // Unlocked and just started: ending it the hard way leaves nothing behind.
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    return elapsed;
}

}  // namespace

// resource-counts <windows pid>
int CmdResourceCounts(const Args& args) {
    auto pid = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!pid || *pid <= 0) return Fail("usage: resource-counts <pid>", kExitUsage);
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, static_cast<DWORD>(*pid)));
    if (!process) return Fail("cannot open process " + args[1] + ", error " + std::to_string(GetLastError()));
    const processcounts::Counts counts = processcounts::Count(process.get(), static_cast<DWORD>(*pid));
    std::printf("handles=%lld\ngdi_objects=%lld\nprivate_bytes=%lld\n", counts.Handles, counts.GdiObjects,
                counts.PrivateBytes);
    return counts.Handles < 0 || counts.GdiObjects < 0 || counts.PrivateBytes < 0 ? kExitFailed : kExitOk;
}

// start-time <program> <class|-> <title|-> <timeout_ms> <runs>: each run starts the program,
// waits for the window, ends the program. Prints every time and the median.
int CmdStartTime(const Args& args) {
    auto timeout = args.size() == 6 ? ParseNumber(args[4]) : std::nullopt;
    auto runs = args.size() == 6 ? ParseNumber(args[5]) : std::nullopt;
    if (!timeout || !runs || *runs < 1)
        return Fail("usage: start-time <program> <class|-> <title|-> <timeout_ms> <runs>", kExitUsage);
    std::vector<long long> times;
    for (long long i = 0; i < *runs; ++i) {
        const long long ms = TimeOneStart(args[1], args[2], args[3], *timeout);
        if (ms < 0) return Fail("run " + std::to_string(i + 1) + ": no window " + args[2] + " / " + args[3]);
        std::printf("run=%lld start_ms=%lld\n", i + 1, ms);
        times.push_back(ms);
        Sleep(300);
    }
    std::sort(times.begin(), times.end());
    std::printf("median_ms=%lld min_ms=%lld max_ms=%lld\n", times[times.size() / 2], times.front(), times.back());
    return kExitOk;
}
