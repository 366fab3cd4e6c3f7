// Registry access by locations written as one text ("HKEY_CURRENT_USER\Software\..."): the only
// way both programs touch the registry. Values are exchanged as text or 32-bit numbers.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

// Where the lock program records its installation values and the first-run switch.
inline constexpr const char kAppSystemKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Orvo PC Lock\\System";
// The account's own key, of which kAppSystemKey is a part.
inline constexpr const char kAppUserKey[] = "HKEY_CURRENT_USER\\SOFTWARE\\Orvo PC Lock";
// The setup's choices for every account of the machine.
inline constexpr const char kAppMachineKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvoSoft\\Orvo PC Lock";

// Value types the operations know (the REG_* numbers).
constexpr int32_t kRegSz = 1;
constexpr int32_t kRegExpandSz = 2;
constexpr int32_t kRegBinary = 3;
constexpr int32_t kRegDword = 4;
constexpr int32_t kRegMultiSz = 7;

// A read result: nothing, text (exactly the stored bytes, a stored terminating zero included),
// or a number.
using RegistryValue = std::variant<std::monostate, std::string, int32_t>;

inline bool IsEmptyValue(const RegistryValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

// The value as text: a text as it is, a number in decimal, nothing as "".
inline std::string RegistryValueText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<int32_t>(&value)) return std::to_string(*number);
    return {};
}

RegistryValue ReadRegistryValue(const std::string& path, const std::string& valueName);

// True when the value was written; false for an unknown root, a key that cannot be created or
// written, text too long for the registry, or a type other than REG_SZ, REG_EXPAND_SZ and
// REG_DWORD (nothing is written then).
bool WriteRegistryValue(const std::string& path, const std::string& valueName,
                           const std::string& data, int32_t valueType);

// True when the key exists and holds a value or a subkey.
bool RegistryKeyHasContent(const std::string& path);
// True when the value exists, whatever its type and size (ReadRegistryValue reads only some).
bool RegistryValueExists(const std::string& path, const std::string& valueName);

// True when this account may set values in the key (which is made when it did not exist).
bool CanWriteRegistryKey(const std::string& path);

// True when the value is not there afterwards: deleted now, or already absent with its key;
// false for an unknown root or a value that could not be deleted.
bool DeleteRegistryValue(const std::string& path, const std::string& valueName);
