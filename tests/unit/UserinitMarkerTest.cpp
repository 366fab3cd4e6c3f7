// The safe-mode marker in the Winlogon "Userinit" list.
#include "tool/UserinitMarker.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(UserinitMarker, EnableDisableRoundTripByteForByte) {
    const std::string original = "C:\\Windows\\system32\\userinit.exe,";
    const std::string marker = SafeModeMarker("  C:\\Program Files\\Orvo\\OrvoPCLock.exe\0junk"s);
    EXPECT_EQ(marker, ",C:\\Program Files\\Orvo\\OrvoPCLock.exe /StartupLock");
    ASSERT_FALSE(HasMarker(original, marker));
    const std::string enabled = AddMarker(original, marker);
    EXPECT_EQ(enabled, "C:\\Windows\\system32\\userinit.exe,,C:\\Program Files\\Orvo\\OrvoPCLock.exe /StartupLock");
    EXPECT_TRUE(HasMarker(enabled, marker));
    EXPECT_EQ(RemoveMarker(enabled, marker), original);
}

TEST(UserinitMarker, MarkerRules) {
    EXPECT_EQ(SafeModeMarker(""), ", /StartupLock");
    EXPECT_EQ(AddMarker("", ", /StartupLock"), ", /StartupLock");
    const std::string marker = SafeModeMarker("C:\\A\\OrvoPCLock.exe");
    EXPECT_FALSE(HasMarker(",c:\\a\\orvopclock.exe /startuplock", marker));  // case-sensitive
    EXPECT_FALSE(HasMarker(",C:\\Old\\OrvoPCLock.exe /StartupLock", marker)); // a moved program
    EXPECT_EQ(RemoveMarker("u.exe," + marker + ",x.exe" + marker + "  ", marker), "u.exe,,x.exe");
    EXPECT_EQ(RemoveMarker("u.exe,", marker), "u.exe,");
    EXPECT_EQ(RemoveMarker("aabb", "ab"), "ab");  // one pass, no re-scan
    EXPECT_EQ(RemoveMarker(" a ", ""), "a");
}
