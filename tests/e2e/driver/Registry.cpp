// Reading the registry values the program writes (policies, installation values), from the
// same Wine prefix as the program, through the project's own registry access.
#include "Driver.h"

#include <cstdio>

#include "system/Registry.h"

// Prints the value on one line: a DWORD in decimal, a text up to its first zero, or
// "<missing>" when the key or the value does not exist.
int CmdRegQuery(const Args& args) {
    if (args.size() != 3) return Fail("usage: reg-query <HKEY_...\\path> <value>", kExitUsage);
    RegistryValue value = ReadRegistryValue(args[1], args[2]);
    if (IsEmptyValue(value)) {
        std::printf("<missing>\n");
        return kExitOk;
    }
    if (const auto* number = std::get_if<int32_t>(&value)) {
        std::printf("%lu\n", static_cast<unsigned long>(static_cast<uint32_t>(*number)));
        return kExitOk;
    }
    std::string text = RegistryValueText(value);
    std::printf("%s\n", text.c_str());   // stops at a stored terminating zero
    return kExitOk;
}
