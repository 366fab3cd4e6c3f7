// Splitting registry locations and turning text into REG_DWORD numbers.
#include "system/RegistryPath.h"

#include <gtest/gtest.h>

#include <string>

TEST(RegistryPath, GetRootKeyTable) {
    struct Case { std::string path; RegistryRoot root; std::string subKey, lastPart; };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\SOFTWARE\\Orvo PC Lock\\System", RegistryRoot::CurrentUser,
         "SOFTWARE\\Orvo PC Lock\\System", "System"},
        {"hkey_local_machine\\Software\\Microsoft", RegistryRoot::LocalMachine, "Software\\Microsoft", "Microsoft"},
        {"Hkey_Classes_Root\\.txt", RegistryRoot::ClassesRoot, ".txt", ".txt"},
        {"HKEY_USERS", RegistryRoot::Users, "", "HKEY_USERS"},
        {"HKEY_USERS\\", RegistryRoot::Users, "", ""},
        {"HKEY_PERFORMANCE_DATA\\x", RegistryRoot::PerformanceData, "x", "x"},
        {"HKEY_CURRENT_CONFIG\\a\\b", RegistryRoot::CurrentConfig, "a\\b", "b"},
        {"HKEY_DYN_DATA\\a", RegistryRoot::DynData, "a", "a"},
        {"hkey_users\\Sub\\Key", static_cast<RegistryRoot>(0x80000003u), "Sub\\Key", "Key"},
        {"HKCU\\Software", RegistryRoot::None, "Software", "Software"},
        {"HKCU", RegistryRoot::None, "", "HKCU"},
        {"", RegistryRoot::None, "", ""},
        {"\\Software", RegistryRoot::None, "Software", "Software"},
        {" HKEY_USERS\\x", RegistryRoot::None, "x", "x"},  // no trimming of the root
        {"HKEY_USERSX\\x", RegistryRoot::None, "x", "x"},
    };
    for (const Case& c : cases) {
        const RegistryLocation loc = GetRootKey(c.path);
        EXPECT_EQ(loc.Root, c.root) << c.path;
        EXPECT_EQ(loc.SubKey, c.subKey) << c.path;
        EXPECT_EQ(loc.LastPart, c.lastPart) << c.path;
    }
}

TEST(RegistryPath, DwordFromTextTable) {
    struct Case { std::string text; uint32_t value; };
    const Case cases[] = {
        {"1", 1},          {"0", 0},           {"", 0},                  {"abc", 0},
        {"2.5", 2},        {"3.5", 4},         {"-1", 0xFFFFFFFFu},      {"  7 ", 7},
        {"12abc", 12},     {"2147483647", 0x7FFFFFFFu},                  {"2147483648", 0x7FFFFFFFu},
        {"1e20", 0x7FFFFFFFu},                 {"-2147483648", 0x80000000u},
        {"-1e20", 0x80000000u},                {"1e999", 0x7FFFFFFFu},
    };
    for (const Case& c : cases) EXPECT_EQ(RegistryDwordFromText(c.text), c.value) << '[' << c.text << ']';
}
