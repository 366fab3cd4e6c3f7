// The display name of the running Windows version, built from the fields GetVersionExA fills,
// and the test that refuses the Windows 95/98/Me family at start. Pure: no platform headers,
// unit-tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t kPlatformWin32Windows = 1;   // VER_PLATFORM_WIN32_WINDOWS: 95, 98, Me
constexpr uint32_t kPlatformWin32Nt = 2;        // VER_PLATFORM_WIN32_NT

inline constexpr const char kUnsupportedOsText[] = "Sorry! Pavrel can't support ";
inline constexpr const char kUnsupportedOsCaption[] = "Warning !";

// The version fields the name is made of (a copy of the OSVERSIONINFOA values that matter).
struct OsVersionFields {
    uint32_t MajorVersion = 0;
    uint32_t MinorVersion = 0;
    uint32_t BuildNumber = 0;
    uint32_t PlatformId = 0;
    std::string CsdVersion;      // service-pack text as returned, possibly with NULs and blanks
};

bool IsUnsupportedPlatform(const OsVersionFields& os);

// "Microsoft Windows 98 " + service pack + " (Build 2222)" and the like.
std::string OsDisplayName(const OsVersionFields& os);
