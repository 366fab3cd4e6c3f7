// The safe-mode marker in the Winlogon "Userinit" list.
#include "tool/UserinitMarker.h"

#include <gtest/gtest.h>

#include <string>

#include "system/Text.h"

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

TEST(UserinitMarker, UninstallCutsOnlyTheInstalledProgramsMarkersAndKeepsTheRest) {
    const std::string program = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe";
    const std::string marker = SafeModeMarker(program);
    // Blanks and commas around the entry are someone else's and survive exactly.
    EXPECT_EQ(UninstallUserinit(" u.exe, " + marker + " ,x.exe  ", program, program), " u.exe,  ,x.exe  ");
    EXPECT_EQ(UninstallUserinit("u.exe," + marker + marker, program, ""), "u.exe,");
    EXPECT_EQ(UninstallUserinit(marker, program, program), "");
    EXPECT_EQ(UninstallUserinit("u.exe,", program, program), "u.exe,");

    // "APP_PATH" recorded the path in another case: that marker is ours as well.
    const std::string upper = "C:\\PROGRAM FILES\\ORVO PC LOCK\\ORVOPCLOCK.EXE";
    EXPECT_EQ(UninstallUserinit("u.exe," + SafeModeMarker(upper), program, upper), "u.exe,");
    // A marker of another copy, or one whose case matches neither path, is left alone.
    const std::string other = SafeModeMarker("D:\\Other\\OrvoPCLock.exe");
    EXPECT_EQ(UninstallUserinit("u.exe," + other, program, "D:\\Other\\OrvoPCLock.exe"), "u.exe," + other);
    EXPECT_EQ(UninstallUserinit("u.exe," + SafeModeMarker(upper), program, program),
              "u.exe," + SafeModeMarker(upper));
    // Text that joins into a marker only once ours is cut out belongs to someone else.
    const std::string head = "u.exe," + marker.substr(0, 20);
    const std::string tail = marker.substr(20) + ",x.exe";
    EXPECT_EQ(UninstallUserinit(head + marker + tail, program, program), head + tail);
    EXPECT_EQ(UninstallUserinit(head + marker + tail, program, upper), head + tail);
    // Without a path of its own the tool cannot tell its marker from the empty-path one.
    EXPECT_EQ(UninstallUserinit("u.exe,, /StartupLock", "", ""), "u.exe,, /StartupLock");
}

TEST(UserinitMarker, CutMarkerChangesNothingElse) {
    EXPECT_EQ(CutMarker("  a,m b ", ",m"), "  a b ");
    EXPECT_EQ(CutMarker("aabb", "ab"), "ab");
    EXPECT_EQ(CutMarker(" a ", ""), " a ");
    EXPECT_EQ(CutMarkers("xAByABz", {"AB", "yA"}), "xBz");   // leftmost hit first, then on from its end
    EXPECT_EQ(CutMarkers("aXbYc", {"Y", "", "X"}), "abc");
}

TEST(UserinitMarker, InstalledStartupCommand) {
    const std::string program = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe";
    EXPECT_TRUE(IsInstalledStartupCommand(program + " /StartupLock", program));
    EXPECT_TRUE(IsInstalledStartupCommand("c:\\program files\\orvo pc lock\\orvopclock.exe /startuplock\0"s, program));
    EXPECT_FALSE(IsInstalledStartupCommand("D:\\Other\\OrvoPCLock.exe /StartupLock", program));
    EXPECT_FALSE(IsInstalledStartupCommand(program, program));
    EXPECT_FALSE(IsInstalledStartupCommand(" /StartupLock", ""));
}

TEST(UserinitMarker, OwnEntryFromTheInstalledPathOnly) {
    const std::string program = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe";
    const std::string ours = "," + program + " /StartupLock";
    EXPECT_EQ(InstalledSafeModeMarker(program), ours);
    EXPECT_EQ(InstalledSafeModeMarker("C:\\a,b\\OrvoPCLock.exe"), "");   // Winlogon would split it
    EXPECT_EQ(InstalledSafeModeMarker("  "), "");
    const struct { std::string before, after; } cases[] = {
        {"", ""},
        {"u.exe," + ours + ours, "u.exe,"},                                      // ours twice
        {"u.exe," + ToUpperAscii(ours) + ", x.exe ", "u.exe,, x.exe "},          // an earlier version's case
        {"u.exe,\"" + program + "\" /StartupLock", "u.exe,\"" + program + "\" /StartupLock"},  // quoted: not ours
        {"u.exe,C:\\Evil,x.exe," + program + " /StartupLock", "u.exe,C:\\Evil,x.exe"},   // commas around
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutOwnMarkers(c.before, program), c.after) << c.before;
        EXPECT_EQ(HasOwnMarker(c.before, program), c.before != c.after) << c.before;
    }
}
