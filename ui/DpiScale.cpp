// Display scaling arithmetic for the windows' layouts.
#include "ui/DpiScale.h"

#include <cstdint>

int ScaleToDpi(int value, int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    if (dpi == kDefaultDpi) return value;
    const int64_t product = static_cast<int64_t>(value) * dpi;
    const int64_t half = kDefaultDpi / 2;
    const int64_t rounded = product >= 0 ? (product + half) / kDefaultDpi : -((-product + half) / kDefaultDpi);
    return static_cast<int>(rounded);
}

DpiRect ScaleRectToDpi(const DpiRect& rect, int dpi) {
    const int left = ScaleToDpi(rect.Left, dpi);
    const int top = ScaleToDpi(rect.Top, dpi);
    return {left, top, ScaleToDpi(rect.Left + rect.Width, dpi) - left, ScaleToDpi(rect.Top + rect.Height, dpi) - top};
}
