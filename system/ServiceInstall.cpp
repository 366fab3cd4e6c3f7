// Service manager calls for the lock service.
#include "system/ServiceInstall.h"

#include <windows.h>

#include "system/ServiceProtocol.h"
#include "system/WinHandles.h"

namespace {

using UniqueService = Unique<SC_HANDLE, decltype(&CloseServiceHandle)>;

UniqueService OpenManager(DWORD access) {
    return UniqueService(OpenSCManagerA(nullptr, nullptr, access), &CloseServiceHandle);
}

constexpr char kDescription[] =
    "Keeps the restrictions of a locked computer in force for every account and locks again when the lock "
    "program of a locked session ends.";

// A crashed service comes back after a second, twice; a third crash within the minute leaves
// it stopped rather than in a restart loop.
void SetRecovery(SC_HANDLE service) {
    SC_ACTION actions[] = {{SC_ACTION_RESTART, 1000}, {SC_ACTION_RESTART, 1000}, {SC_ACTION_NONE, 0}};
    SERVICE_FAILURE_ACTIONSA failure{};
    failure.dwResetPeriod = 60;
    failure.cActions = sizeof actions / sizeof actions[0];
    failure.lpsaActions = actions;
    ChangeServiceConfig2A(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failure);
    SERVICE_DESCRIPTIONA description{const_cast<char*>(kDescription)};
    ChangeServiceConfig2A(service, SERVICE_CONFIG_DESCRIPTION, &description);
}

bool WaitForState(SC_HANDLE service, DWORD state, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    SERVICE_STATUS status{};
    while (QueryServiceStatus(service, &status)) {
        if (status.dwCurrentState == state) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(100);
    }
    return false;
}

}  // namespace

bool InstallLockService(const std::string& servicePath) {
    const UniqueService manager = OpenManager(SC_MANAGER_CREATE_SERVICE | SC_MANAGER_CONNECT);
    if (!manager) return false;
    // Quoted: an unquoted path with blanks would let a program at "C:\Program.exe" run first.
    const std::string command = "\"" + servicePath + "\"";
    UniqueService service(CreateServiceA(manager.get(), kServiceName, kServiceDisplayName, SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                         command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr),
                          &CloseServiceHandle);
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
        service.reset(OpenServiceA(manager.get(), kServiceName, SERVICE_ALL_ACCESS));
        if (service)
            ChangeServiceConfigA(service.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                                 command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, kServiceDisplayName);
    }
    if (!service) return false;
    SetRecovery(service.get());
    if (!StartServiceA(service.get(), 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) return false;
    return WaitForState(service.get(), SERVICE_RUNNING, 10000);
}

bool RemoveLockService() {
    const UniqueService manager = OpenManager(SC_MANAGER_CONNECT);
    if (!manager) return false;
    const UniqueService service(OpenServiceA(manager.get(), kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE),
                                &CloseServiceHandle);
    if (!service) return GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
    SERVICE_STATUS status{};
    // A service guarding a locked session does not accept the stop; it is still deleted and
    // goes when it stops.
    if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) WaitForState(service.get(), SERVICE_STOPPED, 5000);
    return DeleteService(service.get()) || GetLastError() == ERROR_SERVICE_MARKED_FOR_DELETE;
}
