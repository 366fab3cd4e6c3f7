// Entry point of the lock service program. Started by the service manager it serves; with
// "/Install" or "/Uninstall" (the setup's calls, as an administrator) it adds or removes the
// service; started any other way it ends.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "service/LockService.h"
#include "system/ServiceInstall.h"
#include "system/ServiceProtocol.h"
#include "system/StartupText.h"
#include "system/SystemLibrary.h"
#include "system/VersionInfo.h"

namespace {

SERVICE_STATUS_HANDLE StatusHandle = nullptr;
SERVICE_STATUS Status{};
UniqueHandle StopEvent;
LockService* Service = nullptr;
std::atomic<bool> AnyLocked{false};
// The status is set from the service manager's thread (the stop) and the worker (a change of
// the accepted controls): one at a time, and never back to running once stopping.
std::mutex StatusLock;
bool Stopping = false;

constexpr char kLockProgramName[] = "OrvoPCLock.exe";

void SetState(DWORD state) {
    std::lock_guard<std::mutex> lock(StatusLock);
    if (state == SERVICE_STOP_PENDING) Stopping = true;
    if (state == SERVICE_RUNNING && Stopping) return;
    Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    Status.dwCurrentState = state;
    // While a session is locked the stop is not offered: only the shutdown ends the service.
    Status.dwControlsAccepted = state == SERVICE_RUNNING
                                    ? SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_SESSIONCHANGE |
                                          (AnyLocked ? 0 : SERVICE_ACCEPT_STOP)
                                    : 0;
    Status.dwWin32ExitCode = NO_ERROR;
    Status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : 3000;
    if (StatusHandle) SetServiceStatus(StatusHandle, &Status);
}

DWORD WINAPI OnServiceControl(DWORD control, DWORD eventType, LPVOID eventData, LPVOID) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
        if (AnyLocked) return ERROR_INVALID_SERVICE_CONTROL;
        [[fallthrough]];
    case SERVICE_CONTROL_SHUTDOWN:
        SetState(SERVICE_STOP_PENDING);
        SetEvent(StopEvent.get());
        return NO_ERROR;
    case SERVICE_CONTROL_SESSIONCHANGE:
        if (eventData && Service)
            Service->QueueSessionChange(eventType, static_cast<WTSSESSION_NOTIFICATION*>(eventData)->dwSessionId);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

std::string ProgramFolder() {
    const std::string path = ExecutablePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

void WINAPI RunService(DWORD, LPSTR*) {
    StatusHandle = RegisterServiceCtrlHandlerExA(kServiceName, OnServiceControl, nullptr);
    if (!StatusHandle) return;
    SetState(SERVICE_START_PENDING);
    StopEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!StopEvent) {
        SetState(SERVICE_STOPPED);
        return;
    }
    LockService service(ProgramFolder() + kLockProgramName);
    Service = &service;
    SetState(SERVICE_RUNNING);
    service.Run(StopEvent.get(), [](bool locked) {
        AnyLocked = locked;
        SetState(SERVICE_RUNNING);
    });
    Service = nullptr;
    SetState(SERVICE_STOPPED);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LoadLibrariesFromSystem32Only();
    const char* commandLine = GetCommandLineA();
    const std::string arguments = CommandLineArguments(commandLine ? commandLine : "", ExecutablePath());
    if (lstrcmpiA(arguments.c_str(), "/Install") == 0) return InstallLockService(ExecutablePath()) ? 0 : 1;
    if (lstrcmpiA(arguments.c_str(), "/Uninstall") == 0) return RemoveLockService() ? 0 : 1;
    char name[sizeof kServiceName];
    lstrcpyA(name, kServiceName);
    const SERVICE_TABLE_ENTRYA table[] = {{name, RunService}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
