// Texts the start-up sequence builds: the command-line switch, the version values recorded for
// the maintenance tool, the program's folder and name, and the name of the single-instance
// mutex. Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char kStartupLockArgument[] = "/StartupLock";
inline constexpr const char kLockArgument[] = "/Lock";

// True only for exactly "/StartupLock" once the command line is cut at its first NUL and
// trimmed of blanks; other spellings and extra arguments do not count.
bool IsStartupLockCommand(std::string_view commandLine);
// The same rule for "/Lock": lock now (the Start-menu shortcut "Lock Computer").
bool IsLockCommand(std::string_view commandLine);

// The argument text of the process's whole command line (GetCommandLineA): what follows the
// program's own name, without the blanks in front. exePath is the executable's full path; a
// command line that starts with it unquoted, blanks and all, loses all of it.
std::string CommandLineArguments(std::string_view commandLine, std::string_view exePath);

// The program's version as the about window and the registry show it.
struct AppVersion {
    uint32_t Major = 0;
    uint32_t Minor = 0;
    uint32_t Revision = 0;
};

// From the two 32-bit halves of a fixed file version "major.minor.revision.0" (major.minor
// in the high one, revision.0 in the low one).
AppVersion AppVersionFromFixedInfo(uint32_t versionMs, uint32_t versionLs);
std::string AppVersionText(const AppVersion& version);     // "major.minor.revision"
std::string AppBuildText(const AppVersion& version);       // "revision"

// "C:\Dir\Prog.exe" -> folder "C:\Dir\" and name "Prog" (extension ".exe" dropped, any case).
struct ExeLocation {
    std::string Folder;
    std::string Name;
};
ExeLocation SplitExePath(std::string_view fullPath);

// The text with "\" appended unless it already ends in one (an empty text stays empty).
std::string WithTrailingBackslash(std::string_view folder);

// A session-local mutex name that is the same for every start of one executable file and
// differs between files: the path is compared without regard to case.
std::string InstanceMutexName(std::string_view exePath);
