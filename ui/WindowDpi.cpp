// The platform half of display scaling. The per-monitor calls exist only from Windows 10 on, so
// they are looked up at run time and the program still starts on Windows 7.
#include "ui/WindowDpi.h"

#include "system/WinHandles.h"

namespace {

template <class Fn>
Fn User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
    }
    WindowDc dc(hwnd);
    const int dpi = dc.get() ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDefaultDpi;
}

// The frame's own borders and caption follow the DPI too, which only the ForDpi call knows for a
// monitor other than the primary one.
SIZE FrameSizeForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    const int cx = ScaleToDpi(width, dpi), cy = ScaleToDpi(height, dpi);
    RECT rc{0, 0, cx, cy};
    const BOOL adjusted = adjustForDpi ? adjustForDpi(&rc, style, FALSE, exStyle, static_cast<UINT>(dpi))
                                       : AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    if (!adjusted) return {cx, cy};
    return {rc.right - rc.left, rc.bottom - rc.top};
}

RECT CentredFrameForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi) {
    const SIZE outer = FrameSizeForDpi(style, exStyle, width, height, dpi);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT area{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) work = area;
    const int x = work.left + (work.right - work.left - outer.cx) / 2;
    const int y = work.top + (work.bottom - work.top - outer.cy) / 2;
    return {x, y, x + outer.cx, y + outer.cy};
}

// Only the made window knows the monitor it is on.
int RecentreFrameForWindowDpi(HWND hwnd, int width, int height) {
    const int dpi = WindowDpi(hwnd);
    if (dpi == kDefaultDpi) return dpi;
    const auto style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    const RECT frame = CentredFrameForDpi(style, exStyle, width, height, dpi);
    SetWindowPos(hwnd, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return dpi;
}

int TakeSuggestedDpiRect(HWND hwnd, WPARAM wp, LPARAM lp) {
    if (const auto* rect = reinterpret_cast<const RECT*>(lp)) {
        SetWindowPos(hwnd, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int dpi = LOWORD(wp);
    return dpi > 0 ? dpi : kDefaultDpi;
}

void ScaledLayout::Place(HWND child, const DpiRect& rect96) {
    if (!child) return;
    if (dpi_ != kDefaultDpi) {
        const DpiRect r = Scale(rect96);
        SetWindowPos(child, nullptr, r.Left, r.Top, r.Width, r.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Remember(child, rect96);
}

void ScaledLayout::Remember(HWND child, const DpiRect& rect96) {
    if (child) children_.push_back({child, rect96});
}

// Children are moved without redrawing and the parent is drawn once at the end, so a change of
// DPI does not show every control passing through its new place.
void ScaledLayout::Rescale(int dpi, HFONT font) {
    SetDpi(dpi);
    HWND parent = nullptr;
    for (const Child& child : children_) {
        if (!IsWindow(child.Hwnd)) continue;
        const DpiRect r = Scale(child.Rect96);
        SetWindowPos(child.Hwnd, nullptr, r.Left, r.Top, r.Width, r.Height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (font) SendMessageA(child.Hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (!parent) parent = GetAncestor(child.Hwnd, GA_ROOT);
    }
    if (parent) RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}
