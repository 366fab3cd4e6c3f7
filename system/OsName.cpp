// Display names of Windows versions for the start-up refusal of the 95/98/Me family.
#include "system/OsName.h"

#include "system/Text.h"

namespace {

// The family the program refuses, by minor version; the trailing blank separates the name
// from the service-pack text. Any other minor version has no name of its own.
std::string Win9xName(uint32_t minor) {
    switch (minor) {
    case 0: return "Microsoft Windows 95 ";
    case 10: return "Microsoft Windows 98 ";
    case 90: return "Microsoft Windows Mellinnium ";
    default: return "";
    }
}

}  // namespace

bool IsUnsupportedPlatform(const OsVersionFields& os) { return os.PlatformId == kPlatformWin32Windows; }

std::string OsDisplayName(const OsVersionFields& os) {
    std::string name;
    uint32_t build = os.BuildNumber;
    if (IsUnsupportedPlatform(os)) {
        name = Win9xName(os.MinorVersion);
        // On 95/98/Me the high word of the build field repeats major and minor version; only
        // the low word is the build number ("4.10.2222" shows as 2222, not 67766446).
        build &= 0xFFFFu;
    } else {
        name = "Microsoft Windows NT " + std::to_string(os.MajorVersion) + "." +
               std::to_string(os.MinorVersion) + " ";
    }
    return name + TrimNull(os.CsdVersion) + " (Build " + std::to_string(build) + ")";
}
