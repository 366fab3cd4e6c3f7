// Ending and suspending the program under test from outside, as Task Manager does: a process
// with every descendant at once, every process of one file name at once, or a whole process held.
#include "Driver.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>

#include "system/ServiceProtocol.h"
#include "system/WinHandles.h"

namespace {

std::vector<PROCESSENTRY32> Processes() {
    std::vector<PROCESSENTRY32> list;
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = snapshot && Process32First(snapshot.get(), &entry); ok; ok = Process32Next(snapshot.get(), &entry))
        list.push_back(entry);
    return list;
}

// Every process opened first, then all ended together, so none sees another end first.
int EndAll(const std::vector<DWORD>& pids) {
    std::vector<UniqueHandle> handles;
    for (const DWORD pid : pids) handles.emplace_back(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    int ended = 0;
    for (const UniqueHandle& process : handles) ended += process && TerminateProcess(process.get(), 1);
    std::printf("%d\n", ended);
    return ended > 0 ? kExitOk : kExitFailed;
}

}  // namespace

int CmdEndTree(const Args& args) {
    const auto root = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!root) return Fail("usage: end-tree <pid>", kExitUsage);
    const std::vector<PROCESSENTRY32> all = Processes();
    std::vector<DWORD> tree{static_cast<DWORD>(*root)};
    for (size_t at = 0; at < tree.size(); ++at)
        for (const PROCESSENTRY32& p : all)
            if (p.th32ParentProcessID == tree[at] && p.th32ProcessID != tree[at]) tree.push_back(p.th32ProcessID);
    return EndAll(tree);
}

int CmdEndImage(const Args& args) {
    if (args.size() < 2) return Fail("usage: end-image <file name> [...]", kExitUsage);
    std::vector<DWORD> pids;
    for (const PROCESSENTRY32& p : Processes())
        for (size_t i = 1; i < args.size(); ++i)
            if (lstrcmpiA(p.szExeFile, args[i].c_str()) == 0) pids.push_back(p.th32ProcessID);
    return EndAll(pids);
}

// One request to the lock service as any program could send it; prints the reply.
int CmdServiceRequest(const Args& args) {
    if (args.size() != 2 || (args[1] != "locked" && args[1] != "unlocked"))
        return Fail("usage: service-request locked|unlocked", kExitUsage);
    UniqueHandle pipe(CreateFileA(kServicePipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe) return Fail("no pipe: " + std::to_string(GetLastError()));
    const ServiceRequestBytes request =
        EncodeServiceRequest(args[1] == "locked" ? ServiceRequest::Locked : ServiceRequest::Unlocked);
    DWORD done = 0;
    ServiceReplyBytes reply{};
    if (!WriteFile(pipe.get(), request.data(), request.size(), &done, nullptr) ||
        !ReadFile(pipe.get(), reply.data(), reply.size(), &done, nullptr))
        return Fail("no reply");
    const std::optional<bool> answer = ParseServiceReply(reply.data(), done);
    std::printf("%s\n", !answer ? "malformed" : *answer ? "done" : "refused");
    return answer && *answer ? kExitOk : kExitFailed;
}

int CmdSuspend(const Args& args) {
    const auto pid = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!pid) return Fail("usage: suspend <pid>", kExitUsage);
    using SuspendFn = NTSTATUS(NTAPI*)(HANDLE);
    const auto suspend = reinterpret_cast<SuspendFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSuspendProcess")));
    UniqueHandle process(OpenProcess(PROCESS_SUSPEND_RESUME, FALSE, static_cast<DWORD>(*pid)));
    if (!suspend || !process || suspend(process.get()) != 0) return Fail("cannot suspend " + args[1]);
    return kExitOk;
}
