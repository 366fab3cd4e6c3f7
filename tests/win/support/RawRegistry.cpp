// Raw registry helpers of the Windows tests.
#include "support/RawRegistry.h"

#include <cstring>

#include "system/WinHandles.h"

namespace rawreg {

bool Split(const std::string& path, HKEY& root, std::string& subKey) {
    const std::size_t slash = path.find('\\');
    const std::string head = path.substr(0, slash);
    subKey = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    if (head == "HKEY_CURRENT_USER") root = HKEY_CURRENT_USER;
    else if (head == "HKEY_LOCAL_MACHINE") root = HKEY_LOCAL_MACHINE;
    else return false;
    return true;
}

std::optional<Value> Read(const std::string& path, const std::string& name) {
    HKEY root = nullptr;
    std::string subKey;
    if (!Split(path, root, subKey)) return std::nullopt;
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return std::nullopt;
    UniqueHkey key(raw);
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    Value value;
    value.Type = type;
    value.Bytes.resize(size);
    if (size > 0 &&
        RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.Bytes.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.Bytes.resize(size);
    return value;
}

std::optional<uint32_t> ReadDword(const std::string& path, const std::string& name) {
    const auto value = Read(path, name);
    if (!value || value->Type != REG_DWORD || value->Bytes.size() != 4) return std::nullopt;
    uint32_t number = 0;
    memcpy(&number, value->Bytes.data(), 4);
    return number;
}

bool Write(const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    HKEY root = nullptr;
    std::string subKey;
    if (!Split(path, root, subKey)) return false;
    HKEY raw = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr) !=
        ERROR_SUCCESS)
        return false;
    UniqueHkey key(raw);
    return RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteDword(const std::string& path, const std::string& name, uint32_t value) {
    return Write(path, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

void Delete(const std::string& path, const std::string& name) {
    HKEY root = nullptr;
    std::string subKey;
    if (!Split(path, root, subKey)) return;
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_WRITE, &raw) != ERROR_SUCCESS) return;
    UniqueHkey key(raw);
    RegDeleteValueA(key.get(), name.c_str());
}

}  // namespace rawreg
