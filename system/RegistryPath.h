// Splitting a registry location written as one text ("HKEY_CURRENT_USER\Software\...") into its
// predefined root key and subkey. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The predefined root keys by their handle values (HKEY_CLASSES_ROOT = 0x80000000 ...).
enum class RegistryRoot : uint32_t {
    None = 0,
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
    PerformanceData = 0x80000004u,
    CurrentConfig = 0x80000005u,
    DynData = 0x80000006u,
};

struct RegistryLocation {
    RegistryRoot Root = RegistryRoot::None;
    std::string SubKey;     // after the first backslash, case kept; "" = the root key itself
    std::string LastPart;   // after the last backslash (the whole text when there is none)
};

// The root part (before the first backslash) is compared in upper case; anything not in the
// table, abbreviations such as "HKCU" included, gives RegistryRoot::None.
RegistryLocation GetRootKey(std::string_view path);

// Text written as REG_DWORD: the leading decimal number rounded half to even; values outside
// the signed 32-bit range are clamped to it, then stored as their 32-bit pattern.
uint32_t RegistryDwordFromText(std::string_view text);
