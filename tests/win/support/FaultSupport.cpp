// The fault tests' helpers: import redirection, child processes, the lock program's start-up,
// host commands and resource figures.
#include "support/FaultSupport.h"

namespace faulttest {

// ---- import redirection ---------------------------------------------------------------------

int RedirectImport(const void* original, const void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    if (!base || !original) return 0;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return 0;
    int rewritten = 0;
    // Slots are matched by the address they hold, not by name: an import that the loader
    // resolved through a forwarder (kernel32 to kernelbase) holds the final address too.
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            if (reinterpret_cast<const void*>(slot->u1.Function) != original) continue;
            DWORD oldProtect = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &oldProtect)) continue;
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, oldProtect, &oldProtect);
            ++rewritten;
        }
    }
    return rewritten;
}

// ---- processes --------------------------------------------------------------------------------

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    const auto slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool ChildProcess::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitPumping(HANDLE handle, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed > timeoutMs) return false;
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;
        PumpMessages();
    }
}

void SleepPumping(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process_) return false;
    if (!WaitPumping(process_.get(), timeoutMs)) return false;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    if (exitCode) *exitCode = code;
    return true;
}

void ChildProcess::Terminate() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 1);
    WaitPumping(process_.get(), 10000);
}

namespace {

void StartProcess(const std::string& commandLine, const std::string& outputFile, UniqueHandle& process,
                  DWORD& id) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueHandle output(CreateFileA(outputFile.empty() ? "NUL" : outputFile.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = output.get();
    startup.hStdError = output.get();
    PROCESS_INFORMATION info{};
    std::string mutableLine = commandLine;
    if (CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process.reset(info.hProcess);
        id = info.dwProcessId;
    }
}

}  // namespace

ChildProcess ChildProcess::RunTest(const std::string& testName, const Environment& environment,
                                   const std::string& outputFile) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The variables are inherited: set for the start, then put back as they were.
    std::vector<std::pair<std::string, std::string>> previous;
    for (const auto& [name, value] : environment) {
        char old[1024] = "";
        const DWORD length = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
        previous.emplace_back(name, length && length < sizeof old ? old : "");
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    ChildProcess child;
    StartProcess(std::string("\"") + path + "\" --gtest_also_run_disabled_tests --gtest_filter=" + testName,
                 outputFile, child.process_, child.id_);
    for (const auto& [name, value] : previous)
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    return child;
}

ChildProcess ChildProcess::Start(const std::string& commandLine) {
    ChildProcess child;
    StartProcess(commandLine, "", child.process_, child.id_);
    return child;
}

const char* ToString(Startup outcome) {
    switch (outcome) {
    case Startup::Ready: return "ready";
    case Startup::MessageBox: return "message box";
    case Startup::Ended: return "ended";
    case Startup::TimedOut: return "timed out";
    }
    return "?";
}

namespace {

struct WindowSearch {
    DWORD ProcessId;
    std::vector<HWND> Found;
    bool VisibleOnly;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->ProcessId && (!search->VisibleOnly || IsWindowVisible(hwnd))) search->Found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD processId, bool visibleOnly) {
    WindowSearch search{processId, {}, visibleOnly};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string ClassOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string TitleOf(HWND hwnd) {
    char title[256] = "";
    GetWindowTextA(hwnd, title, sizeof title);
    return title;
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) { return WindowsOf(processId, true); }

Startup WaitUntilReady(const ChildProcess& program, DWORD timeoutMs, std::string* messageText) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND hwnd : WindowsOf(program.Id(), false)) {
            const std::string className = ClassOf(hwnd);
            // The tray owner window by its title; until the tray is built, its stand-in.
            if (TitleOf(hwnd) == "Orvo PC Lock Tray" || className == "OrvoPCLockTrayStandIn") return Startup::Ready;
            if (className == "#32770" && IsWindowVisible(hwnd)) {
                if (messageText) {
                    char text[1024] = "";
                    GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
                    *messageText = text;
                }
                return Startup::MessageBox;
            }
        }
        if (!program.Running()) return Startup::Ended;
        if (GetTickCount() - start > timeoutMs) return Startup::TimedOut;
        SleepPumping(20);
    }
}

// ---- host -------------------------------------------------------------------------------------

std::string HostPath(const std::string& windowsPath) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    const auto convert = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    std::wstring wide(windowsPath.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(),
                                           static_cast<int>(wide.size()));
    if (length <= 0) return {};
    char* unixName = convert(wide.c_str());
    if (!unixName) return {};
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

bool RunHostCommand(const std::string& shellCommand, const std::string& doneMarker, DWORD timeoutMs) {
    DeleteFileA(doneMarker.c_str());
    // Wine starts a host program for a path that is not a Windows program; the exit code of
    // such a process does not come back, so the command leaves a marker instead.
    const std::string marker = HostPath(doneMarker);
    if (marker.empty()) return false;
    // Wine gives no usable process handle for a host program, so only the marker tells.
    ChildProcess::Start("/bin/sh -c \"" + shellCommand + "; touch '" + marker + "'\"");
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(doneMarker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
    }
    DeleteFileA(doneMarker.c_str());
    return true;
}

// ---- resource figures -----------------------------------------------------------------------

ResourceCounts CountResources(HANDLE process, DWORD processId) { return processcounts::Count(process, processId); }

}  // namespace faulttest
