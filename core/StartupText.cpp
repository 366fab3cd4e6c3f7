// Start-up texts: command-line switch, version values, program location, instance mutex name.
#include "core/StartupText.h"

#include <cstdio>

#include "system/Text.h"

bool IsStartupLockCommand(std::string_view commandLine) {
    return TrimNull(commandLine) == kStartupLockArgument;
}

AppVersion AppVersionFromFixedInfo(uint32_t versionMs, uint32_t versionLs) {
    // The third field (build) is not part of the program's version text; the fourth is the
    // revision.
    return AppVersion{versionMs >> 16, versionMs & 0xFFFFu, versionLs & 0xFFFFu};
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
