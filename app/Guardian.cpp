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

// "GuardianRestarts" keeps the relaunches between guardians: each guardian starts one lock
// program and ends, so only the registry remembers the ones before. "LockedBy" names the lock
// program that set the "Locked" marker: a guardian relocks only after its own one.

uint64_t CreationTime(HANDLE process) {
    FILETIME created{}, unused{};
    if (!GetProcessTimes(process, &created, &unused, &unused, &unused)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

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

// The lock program's watch: the thread, its stop signal and the first guardian it takes over.
// Started and stopped by the main thread only.
struct GuardianWatch {
    UniqueHandle Stop;
    UniqueHandle Thread;
    HANDLE FirstGuardian = nullptr;
};
GuardianWatch Watch;

DWORD WINAPI WatchGuardian(void* stopEvent) {
    const HANDLE stop = static_cast<HANDLE>(stopEvent);
    const std::string arguments = GuardianArguments(OwnIdentity());
    std::string history;
    UniqueHandle guardian(Watch.FirstGuardian);
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

// That lock program, or none once it has ended (its id may belong to another process by then).
UniqueHandle OpenLocker(ProcessIdentity locker) {
    // A process of the same user grants both rights.
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, locker.Pid));
    if (!process || CreationTime(process.get()) != locker.Created) return {};
    return process;
}

// Set by that lock program. A marker without the note (it could not be written) counts as its.
bool IsLockedBy(ProcessIdentity locker) {
    if (!IsLockedMarkerSet()) return false;
    const auto owner =
        ParseProcessIdentity(TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kLockedByValueName))));
    return !owner || *owner == locker;
}

}  // namespace

ProcessIdentity OwnIdentity() { return {GetCurrentProcessId(), CreationTime(GetCurrentProcess())}; }

void NoteMarkerOwner() {
    WriteRegistryValue(kAppSystemKey, kLockedByValueName, ProcessIdentityText(OwnIdentity()), kRegSz);
}

int RunGuardian(ProcessIdentity locker) {
    // A lock program that is gone already is judged by the marker the same way.
    if (UniqueHandle process = OpenLocker(locker)) WaitForSingleObject(process.get(), INFINITE);
    // Ended unlocked ("&Exit", a kill while unlocked, the session's end), or the marker is of
    // another lock program: nothing to hold.
    if (!IsLockedBy(locker)) return 0;
    // The system's own lock first: it holds even when the lock program cannot come back.
    LockWorkstationAfterCrash();
    const std::string history =
        TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kGuardianRestartsValueName)));
    const RestartDecision decision = DecideRestart(history, GetTickCount64());
    WriteRegistryValue(kAppSystemKey, kGuardianRestartsValueName, decision.History, kRegSz);
    if (decision.Restart) StartSelf(kStartupLockArgument);
    return 0;
}

void StartGuardianWatch() {
    if (Watch.Thread) return;
    Watch.Stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!Watch.Stop) return;
    // Made before start-up goes on: the process a new guardian becomes runs only once
    // CreateProcess has returned, so a lock program killed in between would leave none.
    UniqueHandle first = StartSelf(GuardianArguments(OwnIdentity()));
    Watch.FirstGuardian = first.get();
    Watch.Thread.reset(CreateThread(nullptr, 0, WatchGuardian, Watch.Stop.get(), 0, nullptr));
    // The thread owns the handle from here; without a thread it is closed here.
    if (Watch.Thread) first.release();
}

void StopGuardianWatch() {
    if (!Watch.Thread) return;
    SetEvent(Watch.Stop.get());
    WaitForSingleObject(Watch.Thread.get(), INFINITE);
    Watch.Thread.reset();
    Watch.Stop.reset();
}
