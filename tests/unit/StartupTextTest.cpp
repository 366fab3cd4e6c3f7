// Command-line switch, version values, program location and instance mutex name.
#include <gtest/gtest.h>

#include <string>

#include "system/StartupText.h"

TEST(StartupText, StartupLockSwitchIsExactAndCaseSensitive) {
    struct Case { std::string line; bool locks; };
    const Case cases[] = {
        {"/StartupLock", true},
        {"  /StartupLock  ", true},
        {std::string("/StartupLock\0junk", 17), true},
        {"/startuplock", false},
        {"/STARTUPLOCK", false},
        {"/StartupLock /x", false},
        {"\"/StartupLock\"", false},
        {"\t/StartupLock", false},
        {"", false},
        {std::string("\0/StartupLock", 13), false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsStartupLockCommand(c.line), c.locks) << "[" << c.line << "]";
}

TEST(StartupText, ArgumentsFollowTheProgramNameHoweverItIsWritten) {
    const std::string exe = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe";
    struct Case { std::string line; const char* arguments; };
    const Case cases[] = {
        {"\"" + exe + "\" /StartupLock", "/StartupLock"},
        {"\"" + exe + "\"/StartupLock", "/StartupLock"},
        // The Run value and the Winlogon entry: unquoted, blanks in the folder.
        {exe + " /StartupLock", "/StartupLock"},
        {"c:\\program files\\orvo pc lock\\orvopclock.EXE\t /StartupLock", "/StartupLock"},
        {"C:\\Program Files\\Orvo PC Lock\\OrvoPCLock /StartupLock", "/StartupLock"},
        {"C:\\PROGRA~1\\ORVOPC~1\\ORVOPC~1.EXE /StartupLock", "/StartupLock"},
        {"OrvoPCLock.exe  /StartupLock /x", "/StartupLock /x"},
        {exe, ""},
        {"\"" + exe, ""},
        {"", ""},
        // Another program whose path merely begins like ours is cut at its first blank.
        {exe + "x /StartupLock", "Files\\Orvo PC Lock\\OrvoPCLock.exex /StartupLock"},
    };
    for (const Case& c : cases) EXPECT_EQ(CommandLineArguments(c.line, exe), c.arguments) << "[" << c.line << "]";
    EXPECT_EQ(CommandLineArguments("a.exe /StartupLock", ""), "/StartupLock");
}

TEST(StartupText, VersionComesFromMajorMinorAndRevision) {
    // File version 2.7.15.9: the fourth field is not part of the text.
    const AppVersion version = AppVersionFromFixedInfo((2u << 16) | 7u, (15u << 16) | 9u);
    EXPECT_EQ(version.Major, 2u);
    EXPECT_EQ(version.Minor, 7u);
    EXPECT_EQ(version.Revision, 15u);
    EXPECT_EQ(AppVersionText(version), "2.7.15");
    EXPECT_EQ(AppBuildText(version), "15");

    const AppVersion wide = AppVersionFromFixedInfo(0xFFFF0001u, 0xFFFF0003u);
    EXPECT_EQ(AppVersionText(wide), "65535.1.65535");
    EXPECT_EQ(AppVersionText(AppVersion{}), "0.0.0");
}

TEST(StartupText, SplitsFolderAndNameOfTheExecutable) {
    struct Case { const char* path; const char* folder; const char* name; };
    const Case cases[] = {
        {"C:\\Program Files\\Orvo\\OrvoPCLock.exe", "C:\\Program Files\\Orvo\\", "OrvoPCLock"},
        {"C:\\a\\OrvoPCLock.EXE", "C:\\a\\", "OrvoPCLock"},
        {"C:\\a.exe\\Lock", "C:\\a.exe\\", "Lock"},
        {"\\\\server\\share\\x.y.exe", "\\\\server\\share\\", "x.y"},
        {"Lock.exe", "", "Lock"},
        {"C:\\dir\\.exe", "C:\\dir\\", ".exe"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ExeLocation location = SplitExePath(c.path);
        EXPECT_EQ(location.Folder, c.folder) << c.path;
        EXPECT_EQ(location.Name, c.name) << c.path;
    }
}

TEST(StartupText, AppendsBackslashOnlyWhenMissing) {
    EXPECT_EQ(WithTrailingBackslash("C:\\Users\\me\\AppData\\Roaming"), "C:\\Users\\me\\AppData\\Roaming\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash(""), "");
}

TEST(StartupText, InstanceMutexNameIsPerExecutableFile) {
    const std::string name = InstanceMutexName("C:\\Apps\\OrvoPCLock.exe");
    EXPECT_EQ(name, InstanceMutexName("c:\\apps\\orvopclock.EXE"));
    EXPECT_NE(name, InstanceMutexName("D:\\Apps\\OrvoPCLock.exe"));
    EXPECT_NE(name, InstanceMutexName(""));
    // Only the session prefix may hold a backslash, and the name stays short for any path.
    const std::string prefix = "Local\\";
    ASSERT_EQ(name.rfind(prefix, 0), 0u);
    EXPECT_EQ(name.find('\\', prefix.size()), std::string::npos);
    EXPECT_EQ(InstanceMutexName(std::string(5000, 'x')).size(), name.size());
}
