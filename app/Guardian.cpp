// The guardian process and the lock program's watch over it.
#include "app/Guardian.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/GuardianPlan.h"
#include "app/Startup.h"          // ExecutablePath
#include "system/LockRecord.h"
#include "system/PowerActions.h"
#include "system/Registry.h"
#include "system/RegistryPath.h"
#include "system/StartupText.h"
#include "system/Text.h"
#include "system/WinHandles.h"

namespace {

// The restarts of the lock program by guardians, kept between guardians: each guardian starts
// one lock program and ends, so only the registry remembers the ones before.
constexpr char kGuardianRestartsValueName[] = "GuardianRestarts";

// This executable with the arguments, as a process of its own; its handle, or none.
UniqueHandle StartSelf(const std::string& arguments) {
    const std::string exe = ExecutablePath();
    if (exe.empty()) return {};
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// The watch thread's stop signal and the thread itself; owned by the main thread.
UniqueHandle WatchStop;
UniqueHandle WatchThread;

DWORD WINAPI WatchGuardian(void* stopEvent) {
    const HANDLE stop = static_cast<HANDLE>(stopEvent);
    const std::string arguments = GuardianArguments(GetCurrentProcessId());
    std::string history;
    UniqueHandle guardian = StartSelf(arguments);
    for (;;) {
        const HANDLE waits[] = {stop, guardian.get()};
        // Without a guardian (it could not be started) the next try comes after a second.
        const DWORD waited =
            guardian ? WaitForMultipleObjects(2, waits, FALSE, INFINITE) : WaitForSingleObject(stop, 1000);
        if (waited == WAIT_OBJECT_0) return 0;
        const RestartDecision decision = DecideRestart(history, GetTickCount64());
        history = decision.History;
        guardian.reset();
        // Past the bound the guardian stays away for a while; the marker still makes the next
        // start lock if this process is killed meanwhile.
        if (!decision.Restart) {
            if (WaitForSingleObject(stop, static_cast<DWORD>(kRestartWindowMs)) != WAIT_TIMEOUT) return 0;
            continue;
        }
        guardian = StartSelf(arguments);
    }
}

}  // namespace

int RunGuardian(uint32_t lockerPid) {
    {
        // SYNCHRONIZE is all a wait needs, and a process of the same user always grants it. A
        // lock program that is gone already is judged by the marker the same way.
        UniqueHandle locker(OpenProcess(SYNCHRONIZE, FALSE, lockerPid));
        if (locker) WaitForSingleObject(locker.get(), INFINITE);
    }
    // Ended unlocked ("&Exit", a kill while unlocked, the session's end): nothing to hold.
    if (!IsLockedMarkerSet()) return 0;
    // The system's own lock first: it holds even when the lock program cannot come back.
    LockWorkstationAfterCrash();
    const std::string history = TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kGuardianRestartsValueName)));
    const RestartDecision decision = DecideRestart(history, GetTickCount64());
    WriteRegistryValue(kAppSystemKey, kGuardianRestartsValueName, decision.History, kRegSz);
    if (decision.Restart) StartSelf(kStartupLockArgument);
    return 0;
}

void StartGuardianWatch() {
    if (WatchThread) return;
    WatchStop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!WatchStop) return;
    WatchThread.reset(CreateThread(nullptr, 0, WatchGuardian, WatchStop.get(), 0, nullptr));
}

void StopGuardianWatch() {
    if (!WatchThread) return;
    SetEvent(WatchStop.get());
    WaitForSingleObject(WatchThread.get(), INFINITE);
    WatchThread.reset();
    WatchStop.reset();
}
