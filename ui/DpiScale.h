// Arithmetic of display scaling: lengths and rectangles laid out for 96 DPI, taken to another
// DPI. Pure: no platform headers, unit-tested natively.
#pragma once

inline constexpr int kDefaultDpi = 96;

// value * dpi / 96, rounded half away from zero as MulDiv rounds; a dpi of 0 or less counts as 96.
int ScaleToDpi(int value, int dpi);

// A rectangle in client pixels at 96 DPI; right and bottom edges are outside.
struct DpiRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const DpiRect&) const = default;
};

// The rectangle at dpi. Its edges are scaled rather than its size, so two rectangles that touch
// or line up at 96 DPI still do at every other DPI.
DpiRect ScaleRectToDpi(const DpiRect& rect, int dpi);
