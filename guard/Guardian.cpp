// The intermediate and the guardian of the guard program.
#include "guard/Guardian.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "system/LockRecord.h"
#include "system/ProcessIo.h"
#include "system/Registry.h"
#include "system/StartupText.h"
#include "system/Text.h"
#include "system/WinHandles.h"

namespace {

// While locked the guardian asks the lock program once a second whether it answers, each time
// waiting this long for the answer; once it has not answered, it asks four times a second, so
// that a hang is caught soon after the limit. Unlocked, it waits without waking.
constexpr DWORD kLookIntervalMs = 1000;
constexpr DWORD kUnansweredLookIntervalMs = 250;
constexpr UINT kAnswerTimeoutMs = 250;
// The exit code of a lock program the guardian ends because it stopped answering.
constexpr UINT kUnansweredExitCode = 4;

HANDLE AsHandle(uint64_t value) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(value)); }

std::string ModulePath() {
    // GetModuleFileNameA cuts silently at the buffer size, so grow until the path fits.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// The program with the arguments as a process of its own (inheriting this one's inheritable
// handles when asked); its handle, or none.
UniqueHandle Start(const std::string& exe, const std::string& arguments, bool inherit, DWORD flags) {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, inherit, flags, nullptr, nullptr, &startup,
                        &process))
        return {};
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// Every window of the lock program lives on its one user-interface thread, and its classes
// share the program's name: a window of the thread that may not be that one (a library's
// helper window) would answer for a hung program.
struct WindowSearch {
    DWORD Pid = 0;
    HWND Found = nullptr;
};

BOOL CALLBACK FindLockerWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char className[64] = "";
    if (pid != search->Pid || !GetClassNameA(hwnd, className, sizeof className)) return TRUE;
    if (std::string(className).rfind("OrvoPCLock", 0) != 0) return TRUE;
    search->Found = hwnd;
    return FALSE;
}

// SMTO_ABORTIFHUNG gives up at once on a thread Windows already counts as hung; a suspended
// process answers nothing within the timeout.
HWND LockerWindow(DWORD pid) {
    WindowSearch search;
    search.Pid = pid;
    EnumWindows(FindLockerWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The window found at the last look, found again only when it is gone: a search of every
// top-level window at every look would wake the whole desktop's server for nothing.
bool LockerAnswers(DWORD pid, HWND* window) {
    DWORD owner = 0;
    if (!*window || !GetWindowThreadProcessId(*window, &owner) || owner != pid) *window = LockerWindow(pid);
    if (!*window) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(*window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs,
                               &result) != 0;
}

// Wine signals an ended process before its windows and its single-instance mutex are gone; a
// lock program started then takes them for a running copy and ends at once. Bounded: on
// Windows both are gone already.
void WaitUntilGone(DWORD pid, const std::string& lockerPath) {
    const std::string mutexName = InstanceMutexName(lockerPath);
    for (int wait = 0; wait < 60; ++wait) {
        const UniqueHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, mutexName.c_str()));
        if (!mutex && !LockerWindow(pid)) return;
        Sleep(50);
    }
}

// Windows' own lock first: it holds even when the lock program cannot come back. A lock
// program that stopped answering still holds its single-instance mutex and windows, so it is
// ended before a new one starts. "GuardianRestarts" keeps the relaunches between guardians:
// each guardian starts one lock program and ends, so only the registry remembers the ones
// before (a value the user could delete only allows more locks).
void Relock(HANDLE locker, std::string lockerPath) {
    LockWorkStation();
    TerminateProcess(locker, kUnansweredExitCode);
    WaitForSingleObject(locker, 2000);
    WaitUntilGone(GetProcessId(locker), lockerPath);
    const std::string history =
        TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, kGuardianRestartsValueName)));
    const RestartDecision decision = DecideRestart(history, GetTickCount64());
    WriteRegistryValue(kAppSystemKey, kGuardianRestartsValueName, decision.History, kRegSz);
    if (!decision.Restart) return;
    if (lockerPath.empty()) {
        // Without its own path (the query failed) the lock program is looked for beside this one.
        lockerPath = ModulePath();
        lockerPath = lockerPath.substr(0, lockerPath.find_last_of('\\') + 1) + "OrvoPCLock.exe";
    }
    Start(lockerPath, kStartupLockArgument, false, 0);
}

}  // namespace

int RunIntermediate(const GuardHandles& handles) {
    const std::string self = ModulePath();
    if (self.empty()) return kIntermediateFailed;
    const std::string arguments = GuardArguments({GuardRole::Guardian, handles});
    // Out of a job the lock program may run in, so that closing the job does not end the
    // guardian; a job that allows no breakaway refuses, and the guardian stays in it.
    UniqueHandle guardian = Start(self, arguments, true, CREATE_BREAKAWAY_FROM_JOB);
    if (!guardian) guardian = Start(self, arguments, true, 0);
    HANDLE inLocker = nullptr;
    if (!guardian || !DuplicateHandle(GetCurrentProcess(), guardian.get(), AsHandle(handles.Locker), &inLocker,
                                      SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0))
        return kIntermediateFailed;
    // Handle values are multiples of four and far below 2^31, so the exit code carries one whole.
    return static_cast<int>(reinterpret_cast<uintptr_t>(inLocker));
}

int RunGuardian(const GuardHandles& handles) {
    const HANDLE locker = AsHandle(handles.Locker);
    const HANDLE lockedEvent = AsHandle(handles.Locked);
    const DWORD pid = GetProcessId(locker);
    if (pid == 0) return 1;
    const std::string lockerPath = ProcessImagePath(locker);
    uint64_t lastAnswer = GetTickCount64();
    HWND window = nullptr;
    bool answered = true;
    for (;;) {
        // A handle that fails the wait counts as an ended process, an unreadable event as
        // unlocked: the lock program made both, so neither fails while it runs. Unlocked, only
        // the lock program's end or its lock wakes the guardian.
        const bool wasLocked = WaitForSingleObject(lockedEvent, 0) == WAIT_OBJECT_0;
        const HANDLE waits[] = {locker, lockedEvent};
        const bool ended =
            wasLocked
                ? WaitForSingleObject(locker, answered ? kLookIntervalMs : kUnansweredLookIntervalMs) != WAIT_TIMEOUT
                : WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1;
        const bool locked = WaitForSingleObject(lockedEvent, 0) == WAIT_OBJECT_0;
        // A lock that has just begun counts from now, not from the last look before it.
        if (!wasLocked) lastAnswer = GetTickCount64();
        answered = !locked || ended || LockerAnswers(pid, &window);
        const uint64_t now = GetTickCount64();
        if (answered) lastAnswer = now;
        switch (DecideGuardianAction(ended, locked, now - lastAnswer)) {
        case GuardianAction::Watch: break;
        case GuardianAction::StandDown: return 0;
        case GuardianAction::Relock: Relock(locker, lockerPath); return 0;
        }
    }
}
