// Privilege adjustment through ntdll and the operating-system check of the start-up sequence.
#include "system/PowerActions.h"

#include <windows.h>

#include "system/Messages.h"
#include "system/OsName.h"

namespace {

constexpr LONG kStatusNoToken = static_cast<LONG>(0xC000007C);

using RtlAdjustPrivilegeFunction = LONG(NTAPI*)(ULONG privilege, BOOLEAN enable, BOOLEAN currentThread,
                                                PBOOLEAN wasEnabled);

RtlAdjustPrivilegeFunction FindRtlAdjustPrivilege() {
    // ntdll is mapped into every process; the function is not in the import libraries of
    // every tool chain, so it is looked up by name.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) return nullptr;
    const FARPROC found = GetProcAddress(ntdll, "RtlAdjustPrivilege");
    return reinterpret_cast<RtlAdjustPrivilegeFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

bool AdjustPrivilege(uint32_t privilege, bool enable) {
    const RtlAdjustPrivilegeFunction adjust = FindRtlAdjustPrivilege();
    if (!adjust) return false;
    BOOLEAN wasEnabled = FALSE;
    LONG status = adjust(privilege, enable ? TRUE : FALSE, TRUE, &wasEnabled);
    // A thread that does not impersonate has no token of its own: use the process token.
    if (status == kStatusNoToken) status = adjust(privilege, enable ? TRUE : FALSE, FALSE, &wasEnabled);
    return status == 0;
}

std::string GetOSName() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    // GetVersionExA is deprecated in newer SDKs but still reports the compatibility version,
    // which is what the refusal of the 9x family needs.
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&info)) return {};
    OsVersionFields fields;
    fields.MajorVersion = info.dwMajorVersion;
    fields.MinorVersion = info.dwMinorVersion;
    fields.BuildNumber = info.dwBuildNumber;
    fields.PlatformId = info.dwPlatformId;
    fields.CsdVersion.assign(info.szCSDVersion, sizeof info.szCSDVersion);
    const std::string name = OsDisplayName(fields);
    if (IsUnsupportedPlatform(fields)) {
        ShowMessage(kUnsupportedOsText + name, kUnsupportedOsCaption, MB_ICONWARNING);
        ExitProcess(0);
    }
    return name;
}
