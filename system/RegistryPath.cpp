// Registry locations written as one text: which predefined root key the front names, and how a
// text becomes the number stored in a REG_DWORD value.
#include "system/RegistryPath.h"

#include <limits>

#include "system/Text.h"

namespace {

struct RootName {
    const char* Name;
    RegistryRoot Root;
};

constexpr RootName kRootNames[] = {
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"HKEY_USERS", RegistryRoot::Users},
    {"HKEY_PERFORMANCE_DATA", RegistryRoot::PerformanceData},
    {"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
    {"HKEY_DYN_DATA", RegistryRoot::DynData},
};

}  // namespace

RegistryLocation GetRootKey(std::string_view path) {
    RegistryLocation location;
    std::string_view rootPart = path;
    const std::size_t first = path.find('\\');
    if (first == std::string_view::npos) {
        // A bare root name addresses the root key itself.
        location.LastPart = std::string(path);
    } else {
        rootPart = path.substr(0, first);
        location.SubKey = std::string(path.substr(first + 1));
        location.LastPart = std::string(path.substr(path.rfind('\\') + 1));
    }

    // Only the root is case-insensitive here; the subkey goes to the registry as written,
    // which compares it without regard to case itself.
    const std::string upper = ToUpperAscii(rootPart);
    for (const RootName& entry : kRootNames) {
        if (upper == entry.Name) {
            location.Root = entry.Root;
            break;
        }
    }
    return location;
}

uint32_t RegistryDwordFromText(std::string_view text) {
    int64_t value = RoundHalfEven(ParseLeadingNumber(text));
    // Clamp instead of wrapping: a mistyped huge number must not turn into a small one.
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
    // Negative numbers keep their two's-complement bits, as a signed 32-bit store does.
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}
