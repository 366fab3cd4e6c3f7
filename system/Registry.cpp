// Registry reads, writes and deletes on locations written as one text. Failures never reach
// the caller as errors: they show as an empty read or a status.
#include "system/Registry.h"

#include <windows.h>

#include <array>

#include "system/RegistryPath.h"
#include "system/WinHandles.h"

namespace {

constexpr DWORD kTextBufferSize = 1024;

// The predefined handles by name rather than by casting the numbers: on 64-bit Windows they
// are sign-extended pointer values.
HKEY RootHandle(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
    case RegistryRoot::PerformanceData: return HKEY_PERFORMANCE_DATA;
    case RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegistryRoot::DynData: return HKEY_DYN_DATA;
    case RegistryRoot::None: break;
    }
    return nullptr;
}

// Whether a length can be passed as a DWORD byte count (always on 32-bit builds).
bool FitsDword(std::size_t size) {
    if constexpr (sizeof(std::size_t) > sizeof(DWORD)) return size <= MAXDWORD;
    return true;
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_BINARY || type == REG_MULTI_SZ;
}

RegistryValue ReadText(HKEY key, const char* name, DWORD expectedType) {
    std::array<char, kTextBufferSize> buffer{};
    DWORD type = 0;
    DWORD size = kTextBufferSize;
    // A value longer than the buffer fails here (ERROR_MORE_DATA) and stays unread. The type
    // is checked again because the value may have been rewritten since the first query.
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    if (type != expectedType || size < 1 || size > kTextBufferSize) return {};
    return std::string(buffer.data(), size);
}

RegistryValue ReadDword(HKEY key, const char* name) {
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
        ERROR_SUCCESS)
        return {};
    if (type != REG_DWORD || size != sizeof number) return {};
    return static_cast<int32_t>(number);
}

// A 32-bit build on 64-bit Windows would otherwise read and write the 32-bit view of
// HKEY_LOCAL_MACHINE\Software, where neither the policies nor Winlogon look. The flag is only
// passed under WOW64: older 32-bit systems do not know it.
REGSAM RegistryView() {
    static const REGSAM view = [] {
        using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        auto isWow64Process =
            kernel ? reinterpret_cast<IsWow64ProcessFn>(
                         reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                   : nullptr;
        BOOL wow64 = FALSE;
        if (isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64) return REGSAM{KEY_WOW64_64KEY};
        return REGSAM{0};
    }();
    return view;
}

// As RegOpenKey and RegCreateKey (the access the caller's rights allow), in the system's view.
LONG OpenKey(HKEY root, const std::string& subKey, HKEY* opened) {
    return RegOpenKeyExA(root, subKey.c_str(), 0, MAXIMUM_ALLOWED | RegistryView(), opened);
}

LONG CreateKey(HKEY root, const std::string& subKey, HKEY* created) {
    return RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           MAXIMUM_ALLOWED | RegistryView(), nullptr, created, nullptr);
}

}  // namespace

RegistryValue ReadRegistryValue(const std::string& path, const std::string& valueName) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return {};
    HKEY opened = nullptr;
    if (OpenKey(root, location.SubKey, &opened) != ERROR_SUCCESS) return {};
    const UniqueHkey key(opened);

    // First learn the type without a buffer; a missing value fails here.
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if (IsTextType(type)) return ReadText(key.get(), valueName.c_str(), type);
    if (type == REG_DWORD) return ReadDword(key.get(), valueName.c_str());
    return {};
}

bool WriteRegistryValue(const std::string& path, const std::string& valueName,
                        const std::string& data, int32_t valueType) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return false;
    HKEY created = nullptr;
    if (CreateKey(root, location.SubKey, &created) != ERROR_SUCCESS) return false;
    const UniqueHkey key(created);

    switch (valueType) {
    case kRegSz:
    case kRegExpandSz: {
        // The byte count includes the terminating zero, as RegSetValueExA asks: a reader that
        // trusts the stored size (Winlogon reads "Userinit" at every logon) must find the end.
        // A text read back with its stored zero keeps just that one, so a value rewritten from
        // what was read does not grow.
        const std::size_t bytes = !data.empty() && data.back() == '\0' ? data.size() : data.size() + 1;
        if (!FitsDword(bytes)) return false;
        return RegSetValueExA(key.get(), valueName.c_str(), 0, static_cast<DWORD>(valueType),
                              reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
    }
    case kRegDword: {
        const DWORD number = RegistryDwordFromText(data);
        return RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&number), sizeof number) == ERROR_SUCCESS;
    }
    default:
        return false;
    }
}

bool DeleteRegistryValue(const std::string& path, const std::string& valueName) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return false;
    HKEY opened = nullptr;
    const LONG openStatus = OpenKey(root, location.SubKey, &opened);
    if (openStatus == ERROR_FILE_NOT_FOUND) return true;
    if (openStatus != ERROR_SUCCESS) return false;
    const UniqueHkey key(opened);
    const LONG status = RegDeleteValueA(key.get(), valueName.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool RegistryKeyHasContent(const std::string& path) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return false;
    HKEY opened = nullptr;
    if (OpenKey(root, location.SubKey, &opened) != ERROR_SUCCESS) return false;
    const UniqueHkey key(opened);
    DWORD subKeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys > 0 || values > 0;
}

bool CanWriteRegistryKey(const std::string& path) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return false;
    HKEY created = nullptr;
    if (RegCreateKeyExA(root, location.SubKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | RegistryView(), nullptr, &created, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(created);
    return true;
}

bool RegistryValueExists(const std::string& path, const std::string& valueName) {
    const RegistryLocation location = GetRootKey(path);
    const HKEY root = RootHandle(location.Root);
    if (!root) return false;
    HKEY opened = nullptr;
    if (OpenKey(root, location.SubKey, &opened) != ERROR_SUCCESS) return false;
    const UniqueHkey key(opened);
    return RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
