// Pipe client of the lock service. The pipe is opened for reading and writing data only (the
// service grants interactive users no more), and the server must be the service program beside
// this one: a pipe of that name made first by another program gets no request.
#include "system/ServiceClient.h"

#include <windows.h>

#include <string>
#include <vector>

#include "system/ProcessIo.h"
#include "system/VersionInfo.h"
#include "system/WinHandles.h"

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsOurService(HANDLE pipe) {
    ULONG pid = 0;
    if (!GetNamedPipeServerProcessId(pipe, &pid)) return false;
    const std::string expected = FolderOf(ExecutablePath()) + kServiceFileName;
    const UniqueHandle server(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    return lstrcmpiA(ProcessImagePath(server.get()).c_str(), expected.c_str()) == 0;
}

// What is left of the time until the deadline (0 once it has passed).
DWORD MsUntil(DWORD deadline) {
    const DWORD now = GetTickCount();
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

}  // namespace

std::optional<bool> AskLockService(ServiceRequest request, unsigned timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    constexpr DWORD kAccess = FILE_READ_DATA | FILE_WRITE_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    UniqueHandle pipe;
    for (;;) {
        pipe.reset(CreateFileA(kServicePipeName, kAccess, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr));
        if (pipe) break;
        // Busy with another client: wait for a free instance within the time left.
        const LONG left = static_cast<LONG>(deadline - GetTickCount());
        if (GetLastError() != ERROR_PIPE_BUSY || left <= 0 || !WaitNamedPipeA(kServicePipeName, left))
            return std::nullopt;
    }
    if (!IsOurService(pipe.get())) return std::nullopt;

    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event) return std::nullopt;
    OVERLAPPED io{};
    io.hEvent = event.get();
    const ServiceRequestBytes bytes = EncodeServiceRequest(request);
    DWORD transferred = 0;
    if (!FinishOverlapped(pipe.get(), io, WriteFile(pipe.get(), bytes.data(), bytes.size(), nullptr, &io),
                          MsUntil(deadline), transferred) ||
        transferred != bytes.size())
        return std::nullopt;

    ServiceReplyBytes reply{};
    io = OVERLAPPED{};
    io.hEvent = event.get();
    if (!FinishOverlapped(pipe.get(), io, ReadFile(pipe.get(), reply.data(), reply.size(), nullptr, &io),
                          MsUntil(deadline), transferred))
        return std::nullopt;
    return ParseServiceReply(reply.data(), transferred);
}

bool IsLockServiceRunning() {
    const Unique<SC_HANDLE, decltype(&CloseServiceHandle)> manager(
        OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT), &CloseServiceHandle);
    if (!manager) return false;
    const Unique<SC_HANDLE, decltype(&CloseServiceHandle)> service(
        OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS), &CloseServiceHandle);
    SERVICE_STATUS status{};
    return service && QueryServiceStatus(service.get(), &status) && status.dwCurrentState == SERVICE_RUNNING;
}
