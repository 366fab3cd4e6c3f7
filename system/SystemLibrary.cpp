// Library search limited to System32 (see SystemLibrary.h).
#include "system/SystemLibrary.h"

#include <string>

namespace {
// From the mingw headers only when they target Windows 8; the value is the platform's.
constexpr DWORD kSearchSystem32 = 0x00000800;   // LOAD_LIBRARY_SEARCH_SYSTEM32
}  // namespace

void LoadLibrariesFromSystem32Only() {
    // Windows 7 without its 2011 loader update has no SetDefaultDllDirectories: looked up
    // rather than imported, so the program still starts there.
    using SetDefaultDirs = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDirs>(reinterpret_cast<void (*)()>(
                                         GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault && setDefault(kSearchSystem32)) return;
    // There at least the current folder leaves the search; every library of ours is loaded
    // by its full path anyway.
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* fileName) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryA((std::string(folder, length) + "\\" + fileName).c_str());
}
