// Display scaling of our windows: the DPI a window is shown at, the frame that gives it a
// client area laid out for 96 DPI, and the children placed at their 96-DPI rectangles scaled to
// that DPI and placed again when it changes (WM_DPICHANGED).
#pragma once

#include <windows.h>

#include <vector>

#include "ui/DpiScale.h"

// The DPI of the monitor the window is on (GetDpiForWindow where the system has it, otherwise the
// resolution of the window's DC); 96 when neither answers.
int WindowDpi(HWND hwnd);

// The outer size of a window of this style whose client area is width x height at 96 DPI, at dpi.
SIZE FrameSizeForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi);

// The frame of that size centred on the primary monitor's work area.
RECT CentredFrameForDpi(DWORD style, DWORD exStyle, int width, int height, int dpi);

// For a window just made with its 96-DPI frame: its DPI, and when that is another one, the
// frame sized for it and centred again.
int RecentreFrameForWindowDpi(HWND hwnd, int width, int height);

// WM_DPICHANGED: the new DPI from its wParam, and the window moved to the rectangle in its lParam.
int TakeSuggestedDpiRect(HWND hwnd, WPARAM wp, LPARAM lp);

// The children of a window as laid out at 96 DPI, and the DPI they are shown at now.
class ScaledLayout {
public:
    void SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : kDefaultDpi; }
    int Dpi() const { return dpi_; }
    int Scale(int value) const { return ScaleToDpi(value, dpi_); }
    DpiRect Scale(const DpiRect& rect) const { return ScaleRectToDpi(rect, dpi_); }

    // Moves a child to Scale(rect96) and remembers it for a later change of DPI.
    void Place(HWND child, const DpiRect& rect96);
    // Remembers a child made at Scale(rect96), for a later change of DPI.
    void Remember(HWND child, const DpiRect& rect96);
    // Every remembered child that still exists to its rectangle at dpi, with font when not null.
    void Rescale(int dpi, HFONT font);
    void Clear() { children_.clear(); }

private:
    struct Child {
        HWND Hwnd;
        DpiRect Rect96;
    };
    std::vector<Child> children_;
    int dpi_ = kDefaultDpi;
};
