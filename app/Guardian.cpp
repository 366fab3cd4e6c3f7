// The lock program's watch over its guardian.
#include "app/Guardian.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Startup.h"          // ExecutablePath
#include "core/GuardianPlan.h"
#include "system/LockRecord.h"
#include "system/PowerActions.h"
#include "system/Registry.h"
#include "system/WinHandles.h"

namespace {

// How long the intermediate may take to start the guardian and end.
constexpr DWORD kIntermediateWaitMs = 10000;

uint64_t CreationTime(HANDLE process) {
    FILETIME created{}, unused{};
    if (!GetProcessTimes(process, &created, &unused, &unused, &unused)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

uint64_t HandleValue(HANDLE handle) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)); }

// The lock program's watch: the thread, its stop signal, the event the guardian reads and the
// first intermediate, which the thread takes over. Made and ended by the main thread only.
struct GuardianWatch {
    UniqueHandle Stop;
    UniqueHandle Locked;
    UniqueHandle Thread;
    HANDLE FirstIntermediate = nullptr;
};
GuardianWatch Watch;

bool IsLocked() { return WaitForSingleObject(Watch.Locked.get(), 0) == WAIT_OBJECT_0; }

// The guard program beside this one, started as the intermediate with inheritable copies of
// this process's handle and of the locked event. The copies exist only for this call, so no
// other program this one starts inherits them.
UniqueHandle StartIntermediate() {
    const std::string exe = ExecutablePath();
    const std::string guard = exe.substr(0, exe.find_last_of('\\') + 1) + kGuardProgramName;
    HANDLE self = nullptr, locked = nullptr;
    // Ending a hung lock program and handing it the guardian's handle need their own rights.
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                    SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | PROCESS_DUP_HANDLE, TRUE, 0);
    DuplicateHandle(GetCurrentProcess(), Watch.Locked.get(), GetCurrentProcess(), &locked, SYNCHRONIZE, TRUE, 0);
    const UniqueHandle selfCopy(self), lockedCopy(locked);
    if (!self || !locked || exe.empty()) return {};
    std::string commandLine =
        "\"" + guard + "\" " + GuardArguments({GuardRole::Intermediate, {HandleValue(self), HandleValue(locked)}});
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(guard.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// The guardian the intermediate started, by the handle it left in this process and named in
// its exit code; none when it failed or was ended (handle values are multiples of four, the
// intermediate's failure code and a forced end's codes are not, and a handle that names no
// process is refused).
UniqueHandle GuardianOf(UniqueHandle intermediate) {
    DWORD code = 0;
    if (!intermediate || WaitForSingleObject(intermediate.get(), kIntermediateWaitMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(intermediate.get(), &code) || code == 0 || code % 4 != 0)
        return {};
    UniqueHandle guardian(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(code)));
    const DWORD pid = GetProcessId(guardian.get());
    if (pid == 0 || pid == GetCurrentProcessId()) {
        guardian.release();   // not ours to close
        return {};
    }
    return guardian;
}

// Past the bound no guardian runs until the window has passed; meanwhile Windows' own lock
// stands in for it, once for each lock of this program (at once when locked now). False when
// asked to stop.
bool WaitOutTheBound(HANDLE stop) {
    const uint64_t end = GetTickCount64() + kRestartWindowMs;
    for (uint64_t now = GetTickCount64(); now < end; now = GetTickCount64()) {
        const HANDLE waits[] = {stop, Watch.Locked.get()};
        const DWORD waited = WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(end - now));
        if (waited == WAIT_OBJECT_0) return false;
        if (waited != WAIT_OBJECT_0 + 1) return true;
        LockWorkstationNow();
        // The unlock has no event of its own: looked for four times a second.
        while (IsLocked() && GetTickCount64() < end)
            if (WaitForSingleObject(stop, 250) != WAIT_TIMEOUT) return false;
    }
    return true;
}

DWORD WINAPI WatchGuardian(void* stopEvent) {
    const HANDLE stop = static_cast<HANDLE>(stopEvent);
    std::string history;
    UniqueHandle guardian = GuardianOf(UniqueHandle(Watch.FirstIntermediate));
    for (;;) {
        if (guardian) {
            const HANDLE waits[] = {stop, guardian.get()};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) return 0;
            guardian.reset();
        } else if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) {
            return 0;
        }
        // Ended, or never started: a failed start counts toward the bound like an end, so a
        // missing guard program leads to Windows' lock instead of a loop of attempts.
        const RestartDecision decision = DecideRestart(history, GetTickCount64());
        history = decision.History;
        if (decision.Restart) {
            guardian = GuardianOf(StartIntermediate());
        } else if (!WaitOutTheBound(stop)) {
            return 0;
        }
    }
}

}  // namespace

void NoteMarkerOwner() {
    const ProcessIdentity self{GetCurrentProcessId(), CreationTime(GetCurrentProcess())};
    WriteRegistryValue(kAppSystemKey, kLockedByValueName, ProcessIdentityText(self), kRegSz);
}

void StartGuardianWatch() {
    if (Watch.Thread) return;
    Watch.Stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    // Manual reset, set while locked; unnamed, so only handles this process gives out reach it.
    if (!Watch.Locked) Watch.Locked.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!Watch.Stop || !Watch.Locked) return;
    // Started before start-up goes on: once CreateProcess has returned, the intermediate starts
    // a guardian even when this process is killed right after.
    UniqueHandle first = StartIntermediate();
    Watch.FirstIntermediate = first.get();
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

void TellGuardianLocked(bool isLocked) {
    if (!Watch.Locked) return;
    if (isLocked) SetEvent(Watch.Locked.get());
    else ResetEvent(Watch.Locked.get());
}
