// Argument parsing and window look-up shared by the driver's command groups.
#include "Driver.h"

#include <cstdio>
#include <cstdlib>

int Fail(const std::string& text, int code) {
    std::fprintf(stderr, "error: %s\n", text.c_str());
    std::fflush(stderr);
    return code;
}

std::optional<long long> ParseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const char* begin = text.c_str();
    char* end = nullptr;
    long long value = std::strtoll(begin, &end, 0);
    if (end == begin || *end != '\0') return std::nullopt;
    return value;
}

std::optional<POINT> ParsePoint(const std::string& text) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    auto x = ParseNumber(text.substr(0, comma));
    auto y = ParseNumber(text.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return POINT{static_cast<LONG>(*x), static_cast<LONG>(*y)};
}

const char* ClassOrNull(const std::string& text) { return text == "-" ? nullptr : text.c_str(); }

std::string WindowClassOf(HWND hwnd) {
    char name[256] = {};
    int length = GetClassNameA(hwnd, name, sizeof(name));
    return length > 0 ? std::string(name, static_cast<size_t>(length)) : std::string();
}

std::string InternalTextOf(HWND hwnd) {
    wchar_t wide[512] = {};
    int length = InternalGetWindowText(hwnd, wide, 512);
    if (length <= 0) return std::string();
    char narrow[1024] = {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    return bytes > 0 ? std::string(narrow, static_cast<size_t>(bytes)) : std::string();
}

std::string HexHandle(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return text;
}

namespace {
struct FindRequest {
    const std::string* className;
    const std::string* title;
    std::vector<HWND> found;
};

// Matches on the caption the window manager keeps, not WM_GETTEXT: the cover answers that
// message with nothing on purpose, and a hung program must not stall the look-up.
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* request = reinterpret_cast<FindRequest*>(param);
    if (*request->className != "-" && lstrcmpiA(WindowClassOf(hwnd).c_str(), request->className->c_str()) != 0)
        return TRUE;
    if (*request->title != "-" && InternalTextOf(hwnd) != *request->title) return TRUE;
    request->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> FindTopWindows(const std::string& className, const std::string& title) {
    FindRequest request{&className, &title, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND FindTopWindow(const std::string& className, const std::string& title) {
    std::vector<HWND> found = FindTopWindows(className, title);
    for (HWND hwnd : found)
        if (IsWindowVisible(hwnd)) return hwnd;
    return found.empty() ? nullptr : found.front();
}

uint64_t NowMs() { return GetTickCount64(); }

void PumpFor(DWORD ms) {
    uint64_t end = NowMs() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        uint64_t now = NowMs();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}
