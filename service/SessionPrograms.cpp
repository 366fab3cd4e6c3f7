// Process identity and session programs of the lock service. wtsapi32 and userenv are loaded
// from System32 by full path: the service loads no library by a bare name.
#include "service/SessionPrograms.h"

#include <sddl.h>

#include <vector>

#include "system/ProcessIo.h"
#include "system/StartupText.h"
#include "system/SystemLibrary.h"

namespace {

std::string TokenUserSid(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size == 0 || size > 4096) return {};
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::string sid(text);
    LocalFree(text);
    return sid;
}

using QueryUserToken = BOOL(WINAPI*)(ULONG, PHANDLE);
using Disconnect = BOOL(WINAPI*)(HANDLE, DWORD, BOOL);
using MakeEnvironment = BOOL(WINAPI*)(LPVOID*, HANDLE, BOOL);
using FreeEnvironment = BOOL(WINAPI*)(LPVOID);

UniqueHandle UserToken(uint32_t sessionId) {
    static const auto query = SystemFunction<QueryUserToken>("wtsapi32.dll", "WTSQueryUserToken");
    HANDLE token = nullptr;
    if (!query || !query(sessionId, &token)) return {};
    return UniqueHandle(token);
}

// The user's environment block (its profile folders, not the service's), freed with it.
class UserEnvironment {
public:
    explicit UserEnvironment(HANDLE token) {
        static const auto make = SystemFunction<MakeEnvironment>("userenv.dll", "CreateEnvironmentBlock");
        if (make && !make(&block_, token, FALSE)) block_ = nullptr;
    }
    ~UserEnvironment() {
        static const auto free = SystemFunction<FreeEnvironment>("userenv.dll", "DestroyEnvironmentBlock");
        if (block_ && free) free(block_);
    }
    UserEnvironment(const UserEnvironment&) = delete;
    UserEnvironment& operator=(const UserEnvironment&) = delete;
    void* Block() const { return block_; }

private:
    void* block_ = nullptr;
};

}  // namespace

std::optional<ServiceClient> DescribeProcess(HANDLE process, const std::string& expectedImage) {
    if (!process || lstrcmpiA(ProcessImagePath(process).c_str(), expectedImage.c_str()) != 0) return std::nullopt;
    ServiceClient client;
    client.ProcessId = GetProcessId(process);
    DWORD session = 0;
    if (client.ProcessId == 0 || !ProcessIdToSessionId(client.ProcessId, &session)) return std::nullopt;
    client.SessionId = session;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    client.ProcessCreated = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    const UniqueHandle owned(token);
    client.UserSid = TokenUserSid(token);
    if (client.UserSid.empty()) return std::nullopt;
    return client;
}

std::optional<PipeClient> IdentifyPipeClient(HANDLE pipe, const std::string& expectedImage) {
    ULONG pid = 0;
    if (!GetNamedPipeClientProcessId(pipe, &pid) || pid == 0) return std::nullopt;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    std::optional<ServiceClient> client = DescribeProcess(process.get(), expectedImage);
    if (!client) return std::nullopt;
    return PipeClient{*client, std::move(process)};
}

UniqueHandle OpenHolder(const ServiceClient& holder, const std::string& expectedImage) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, holder.ProcessId));
    const std::optional<ServiceClient> now = DescribeProcess(process.get(), expectedImage);
    if (!now || !(*now == holder) || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return {};
    return process;
}

std::string SessionUserSid(uint32_t sessionId) {
    const UniqueHandle token = UserToken(sessionId);
    return token ? TokenUserSid(token.get()) : std::string();
}

std::optional<ServiceClient> SessionPrograms::StartLockProgram(uint32_t sessionId) {
    const UniqueHandle userToken = UserToken(sessionId);
    HANDLE primary = nullptr;
    if (!userToken ||
        !DuplicateTokenEx(userToken.get(), MAXIMUM_ALLOWED, nullptr, SecurityIdentification, TokenPrimary, &primary))
        return std::nullopt;
    const UniqueHandle token(primary);
    const UserEnvironment environment(token.get());
    std::string commandLine = "\"" + lockProgram_ + "\" " + kStartupLockArgument;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    const std::string folder = lockProgram_.substr(0, lockProgram_.find_last_of('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char desktop[] = "winsta0\\default";
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION started{};
    const DWORD flags = environment.Block() ? CREATE_UNICODE_ENVIRONMENT : 0;
    if (!CreateProcessAsUserA(token.get(), lockProgram_.c_str(), buffer.data(), nullptr, nullptr, FALSE, flags,
                              environment.Block(), folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return std::nullopt;
    CloseHandle(started.hThread);
    UniqueHandle process(started.hProcess);
    std::optional<ServiceClient> client = DescribeProcess(process.get(), lockProgram_);
    if (client) started_ = std::move(process);
    return client;
}

void SessionPrograms::DisconnectSession(uint32_t sessionId) {
    static const auto disconnect = SystemFunction<Disconnect>("wtsapi32.dll", "WTSDisconnectSession");
    // WTS_CURRENT_SERVER_HANDLE is a null handle.
    if (disconnect) disconnect(nullptr, sessionId, FALSE);
}
