// The running program's path and the version resource of a file.
#include "system/VersionInfo.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "system/SystemLibrary.h"

std::string ExecutablePath() {
    // GetModuleFileNameA cuts silently at the buffer size, so grow until the path fits.
    std::vector<char> buffer(MAX_PATH);
    while (buffer.size() <= 32768) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

namespace {

// The version library's three calls, from System32 (see SystemLibrary.h).
DWORD InfoSize(LPCSTR path, LPDWORD handle) {
    static const auto call = SystemFunction<DWORD(WINAPI*)(LPCSTR, LPDWORD)>("version.dll", "GetFileVersionInfoSizeA");
    return call ? call(path, handle) : 0;
}
BOOL InfoRead(LPCSTR path, DWORD handle, DWORD size, LPVOID data) {
    static const auto call = SystemFunction<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>("version.dll", "GetFileVersionInfoA");
    return call ? call(path, handle, size, data) : FALSE;
}
BOOL QueryValue(LPCVOID data, LPCSTR name, LPVOID* value, PUINT length) {
    static const auto call = SystemFunction<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>("version.dll", "VerQueryValueA");
    return call ? call(data, name, value, length) : FALSE;
}

// The whole version resource of a file; empty when it has none.
std::vector<BYTE> ReadVersionResource(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = InfoSize(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!InfoRead(path.c_str(), 0, size, data.data())) return {};
    return data;
}

}  // namespace

AppVersion ReadFileAppVersion(const std::string& path) {
    std::vector<BYTE> data = ReadVersionResource(path);
    if (data.empty()) return {};
    void* block = nullptr;
    UINT blockSize = 0;
    if (!QueryValue(data.data(), "\\", &block, &blockSize) || !block ||
        blockSize < sizeof(VS_FIXEDFILEINFO))
        return {};
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block);
    if (fixed->dwSignature != 0xFEEF04BDu) return {};
    return AppVersionFromFixedInfo(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

AppVersion ReadAppVersion() { return ReadFileAppVersion(ExecutablePath()); }

std::string ReadVersionString(const std::string& path, const std::string& name) {
    std::vector<BYTE> data = ReadVersionResource(path);
    if (data.empty()) return {};
    // The strings sit in a block per language and code page; the translation table names the
    // first one.
    struct Translation { WORD Language; WORD CodePage; };
    void* table = nullptr;
    UINT tableSize = 0;
    if (!QueryValue(data.data(), "\\VarFileInfo\\Translation", &table, &tableSize) || !table ||
        tableSize < sizeof(Translation))
        return {};
    const auto* first = static_cast<const Translation*>(table);
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", first->Language, first->CodePage);
    void* text = nullptr;
    UINT length = 0;
    if (!QueryValue(data.data(), (block + name).c_str(), &text, &length) || !text || length == 0) return {};
    // The length counts characters and may include the closing NUL; the text stops at it.
    const char* chars = static_cast<const char*>(text);
    return std::string(chars, strnlen(chars, length));
}

