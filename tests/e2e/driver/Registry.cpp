// Reading the registry values the program writes (policies, installation values), from the
// same Wine prefix as the program.
#include "Driver.h"

#include <cstdio>

#include "system/RegistryPath.h"
#include "system/WinHandles.h"

// Prints the value on one line: a DWORD in decimal, a text without its terminating zero, or
// "<missing>" when the key or the value does not exist.
int CmdRegQuery(const Args& args) {
    if (args.size() != 3) return Fail("usage: reg-query <HKEY_...\\path> <value>", kExitUsage);
    RegistryLocation location = GetRootKey(args[1]);
    if (location.Root == RegistryRoot::None) return Fail("unknown root in " + args[1], kExitUsage);
    HKEY root = reinterpret_cast<HKEY>(static_cast<uintptr_t>(static_cast<uint32_t>(location.Root)));
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, location.SubKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        std::printf("<missing>\n");
        return kExitOk;
    }
    UniqueHkey key(opened);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), args[2].c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        std::printf("<missing>\n");
        return kExitOk;
    }
    std::vector<BYTE> data(size + 1, 0);   // one more for a text stored without its zero
    if (RegQueryValueExA(key.get(), args[2].c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return Fail("could not read " + args[2]);
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data.data(), sizeof(value));
        std::printf("%lu\n", static_cast<unsigned long>(value));
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::printf("%s\n", reinterpret_cast<const char*>(data.data()));
    } else {
        std::printf("<type %lu, %lu bytes>\n", static_cast<unsigned long>(type), static_cast<unsigned long>(size));
    }
    return kExitOk;
}
