// Direct registry access for the Windows tests, written against the raw Reg* calls so that a
// test does not check the program's registry code with itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace rawreg {

// Splits "HKEY_CURRENT_USER\..." / "HKEY_LOCAL_MACHINE\..." into root and subkey.
bool Split(const std::string& path, HKEY& root, std::string& subKey);

// The value's type and bytes, or nothing when it (or its key) is missing.
struct Value {
    DWORD Type = REG_NONE;
    std::string Bytes;
};
std::optional<Value> Read(const std::string& path, const std::string& name);
// A REG_DWORD value, or nothing when missing or of another type.
std::optional<uint32_t> ReadDword(const std::string& path, const std::string& name);

bool Write(const std::string& path, const std::string& name, DWORD type, const std::string& bytes);
bool WriteDword(const std::string& path, const std::string& name, uint32_t value);
void Delete(const std::string& path, const std::string& name);

}  // namespace rawreg
