// The shutdown privilege and the operating-system name on Wine's NT-family platform.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "system/PowerActions.h"

namespace {

// Whether the process token holds the privilege enabled, read without the code under test.
bool IsEnabledInProcessToken(const char* name) {
    LUID luid{};
    if (!LookupPrivilegeValueA(nullptr, name, &luid)) return false;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    const BOOL ok = GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size);
    CloseHandle(token);
    if (!ok) return false;
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& entry = privileges->Privileges[i];
        if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart)
            return (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    return false;
}

}  // namespace

TEST(Privilege, ShutdownPrivilegeFallsBackToTheProcessToken) {
    // This thread does not impersonate, so the thread-token attempt reports "no token".
    ASSERT_TRUE(AdjustPrivilege(kShutdownPrivilege, false));
    EXPECT_FALSE(IsEnabledInProcessToken("SeShutdownPrivilege"));
    ASSERT_TRUE(AdjustPrivilege(kShutdownPrivilege, true));
    EXPECT_TRUE(IsEnabledInProcessToken("SeShutdownPrivilege"));
    EXPECT_TRUE(AdjustPrivilege(kShutdownPrivilege, true)) << "enabling twice is still success";
}

TEST(Privilege, UnknownPrivilegeFails) {
    EXPECT_FALSE(AdjustPrivilege(0, true));
    EXPECT_FALSE(AdjustPrivilege(100000, true));
}

TEST(Privilege, NtFamilyIsNamedAndNotRefused) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT) GTEST_SKIP() << "prefix is set to a 9x version";
    // Returning at all shows the process was not ended.
    const std::string name = GetOSName();
    EXPECT_EQ(name.rfind("Microsoft Windows NT ", 0), 0u) << name;
    EXPECT_NE(name.find(" (Build " + std::to_string(info.dwBuildNumber) + ")"), std::string::npos) << name;
}
