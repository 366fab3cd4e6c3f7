// Start-up texts: command-line switch, version values, program location, instance mutex name.
#include "system/StartupText.h"

#include <cstdio>

#include "system/Text.h"

bool IsStartupLockCommand(std::string_view commandLine) {
    return TrimNull(commandLine) == kStartupLockArgument;
}

bool IsLockCommand(std::string_view commandLine) { return TrimNull(commandLine) == kLockArgument; }

namespace {

bool IsArgumentBlank(char c) { return c == ' ' || c == '\t'; }

// Whether text starts with prefix, ignoring ASCII case (file names are compared that way),
// and the program name ends right there.
bool StartsWithProgram(std::string_view text, std::string_view prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    if (ToUpperAscii(text.substr(0, prefix.size())) != ToUpperAscii(prefix)) return false;
    return text.size() == prefix.size() || IsArgumentBlank(text[prefix.size()]);
}

}  // namespace

std::string CommandLineArguments(std::string_view commandLine, std::string_view exePath) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t closing = commandLine.find('"', 1);
        end = closing == std::string_view::npos ? commandLine.size() : closing + 1;
    } else {
        // The autostart entry and the safe-mode entry name the program unquoted, and its folder
        // usually holds blanks ("C:\Program Files\..."). Windows starts it all the same and
        // hands the command line over as written, so cutting at the first blank would leave
        // half a path in front of "/StartupLock" and the lock at logon would never happen.
        std::string_view withoutExe = exePath;
        constexpr std::string_view kExe = ".exe";
        if (withoutExe.size() > kExe.size() &&
            ToUpperAscii(withoutExe.substr(withoutExe.size() - kExe.size())) == ToUpperAscii(kExe))
            withoutExe.remove_suffix(kExe.size());
        if (StartsWithProgram(commandLine, exePath)) end = exePath.size();
        else if (StartsWithProgram(commandLine, withoutExe)) end = withoutExe.size();
        else
            while (end < commandLine.size() && !IsArgumentBlank(commandLine[end])) ++end;
    }
    while (end < commandLine.size() && IsArgumentBlank(commandLine[end])) ++end;
    return std::string(commandLine.substr(end));
}

AppVersion AppVersionFromFixedInfo(uint32_t versionMs, uint32_t versionLs) {
    // The version resource holds major, minor, revision, 0: the fourth field is unused.
    return AppVersion{versionMs >> 16, versionMs & 0xFFFFu, versionLs >> 16};
}

std::string AppVersionText(const AppVersion& version) {
    return std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
           std::to_string(version.Revision);
}

std::string AppBuildText(const AppVersion& version) { return std::to_string(version.Revision); }

ExeLocation SplitExePath(std::string_view fullPath) {
    ExeLocation location;
    const std::size_t slash = fullPath.find_last_of("\\/");
    std::string_view name = fullPath;
    if (slash != std::string_view::npos) {
        location.Folder = std::string(fullPath.substr(0, slash + 1));
        name = fullPath.substr(slash + 1);
    }
    constexpr std::string_view kExe = ".EXE";
    if (name.size() > kExe.size() && ToUpperAscii(name.substr(name.size() - kExe.size())) == kExe)
        name.remove_suffix(kExe.size());
    location.Name = std::string(name);
    return location;
}

std::string WithTrailingBackslash(std::string_view folder) {
    std::string result(folder);
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result;
}

std::string InstanceMutexName(std::string_view exePath) {
    // Kernel object names may not hold backslashes and are limited in length, so the path
    // goes in as a hash (64-bit FNV-1a of the upper-cased path).
    uint64_t hash = 14695981039346656037ull;
    for (char c : ToUpperAscii(exePath)) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 1099511628211ull;
    }
    char hex[17] = {};
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("Local\\OrvoPCLock.Instance.") + hex;
}
