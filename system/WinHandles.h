// Small owners for Win32 handles: each closes, deletes or releases its handle exactly once.
// Copying is deleted; moving transfers ownership.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

template <class H, class F>
using Unique = std::unique_ptr<std::remove_pointer_t<H>, F>;

struct DcFree { void operator()(HDC h) const { if (h) DeleteDC(h); } };
struct GdiFree { void operator()(void* h) const { if (h) DeleteObject(static_cast<HGDIOBJ>(h)); } };
struct KeyFree { void operator()(HKEY h) const { if (h) RegCloseKey(h); } };
struct HandleFree { void operator()(HANDLE h) const { if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h); } };
struct HookFree { void operator()(HHOOK h) const { if (h) UnhookWindowsHookEx(h); } };
struct WinEventHookFree { void operator()(HWINEVENTHOOK h) const { if (h) UnhookWinEvent(h); } };
struct IconFree { void operator()(HICON h) const { if (h) DestroyIcon(h); } };
struct MenuFree { void operator()(HMENU h) const { if (h) DestroyMenu(h); } };
struct WindowFree { void operator()(HWND h) const { if (h && IsWindow(h)) DestroyWindow(h); } };

using UniqueHdc = Unique<HDC, DcFree>;              // from CreateCompatibleDC
using UniqueHbitmap = Unique<HBITMAP, GdiFree>;
using UniqueHfont = Unique<HFONT, GdiFree>;
using UniqueHbrush = Unique<HBRUSH, GdiFree>;
using UniqueHpen = Unique<HPEN, GdiFree>;
using UniqueHkey = Unique<HKEY, KeyFree>;
using UniqueHhook = Unique<HHOOK, HookFree>;
using UniqueWinEventHook = Unique<HWINEVENTHOOK, WinEventHookFree>;
using UniqueHicon = Unique<HICON, IconFree>;        // only for icons that were created, not loaded shared
using UniqueHmenu = Unique<HMENU, MenuFree>;
using UniqueHwnd = Unique<HWND, WindowFree>;

// A kernel handle; INVALID_HANDLE_VALUE (as CreateFile returns on failure) counts as none.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : handle_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept { reset(other.release()); return *this; }
    ~UniqueHandle() { reset(); }
    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE release() { HANDLE h = handle_; handle_ = nullptr; return h; }
    void reset(HANDLE h = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = (h == INVALID_HANDLE_VALUE) ? nullptr : h;
    }
private:
    HANDLE handle_ = nullptr;
};

// Selects an object into a DC and puts the previous one back on destruction. Declare the DC,
// then the object, then the guard: destruction runs in reverse, so the old object is back in
// the DC before the new one is deleted.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(dc && obj ? SelectObject(dc, obj) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() { if (dc_ && old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_); }
private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window timer that is killed when the owner goes away.
class WinTimer {
public:
    WinTimer() = default;
    WinTimer(const WinTimer&) = delete;
    WinTimer& operator=(const WinTimer&) = delete;
    ~WinTimer() { Stop(); }
    void Start(HWND hwnd, UINT_PTR id, UINT intervalMs) {
        Stop();
        if (hwnd && SetTimer(hwnd, id, intervalMs, nullptr)) { hwnd_ = hwnd; id_ = id; }
    }
    void Stop() {
        if (hwnd_) KillTimer(hwnd_, id_);
        hwnd_ = nullptr;
    }
    bool IsRunning() const { return hwnd_ != nullptr; }
private:
    HWND hwnd_ = nullptr;
    UINT_PTR id_ = 0;
};

// ReleaseDC partner of GetDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { if (dc_) ReleaseDC(hwnd_, dc_); }
    HDC get() const { return dc_; }
private:
    HWND hwnd_;
    HDC dc_;
};
