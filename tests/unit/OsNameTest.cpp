// Display names of the Windows versions and the refusal of the 95/98/Me family.
#include <gtest/gtest.h>

#include <string>

#include "system/OsName.h"

namespace {
OsVersionFields Os(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build, std::string csd) {
    OsVersionFields os;
    os.PlatformId = platform;
    os.MajorVersion = major;
    os.MinorVersion = minor;
    os.BuildNumber = build;
    os.CsdVersion = std::move(csd);
    return os;
}
}  // namespace

TEST(OsName, NamesTheRefusedFamilyByMinorVersion) {
    // The service-pack field arrives as a fixed 128-byte buffer: NULs after the text.
    std::string csd(" A ");
    csd.resize(128, '\0');
    struct Case { uint32_t minor; uint32_t build; std::string csd; const char* name; };
    const Case cases[] = {
        {0, 0x040003B6u, "", "Microsoft Windows 95  (Build 950)"},
        {10, 0x040A08AEu, csd, "Microsoft Windows 98 A (Build 2222)"},
        {90, 0x045A0BB8u, std::string("\0junk", 5), "Microsoft Windows Mellinnium  (Build 3000)"},
        {3, 1234, "x", "x (Build 1234)"},
    };
    for (const Case& c : cases) {
        const OsVersionFields os = Os(kPlatformWin32Windows, 4, c.minor, c.build, c.csd);
        EXPECT_TRUE(IsUnsupportedPlatform(os));
        EXPECT_EQ(OsDisplayName(os), c.name) << c.minor;
    }
}

TEST(OsName, NtFamilyIsAcceptedWithItsFullBuildNumber) {
    const OsVersionFields win7 = Os(kPlatformWin32Nt, 6, 1, 7601, "Service Pack 1");
    EXPECT_FALSE(IsUnsupportedPlatform(win7));
    EXPECT_EQ(OsDisplayName(win7), "Microsoft Windows NT 6.1 Service Pack 1 (Build 7601)");
    // Builds above 65535 are not masked on NT.
    EXPECT_EQ(OsDisplayName(Os(kPlatformWin32Nt, 10, 0, 70000, "")), "Microsoft Windows NT 10.0  (Build 70000)");
    EXPECT_FALSE(IsUnsupportedPlatform(Os(0, 3, 1, 0, "")));   // Win32s is not the refused family
}
