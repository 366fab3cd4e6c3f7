// The DIB section behind the layered windows' frames and the background picture.
#include "ui/DibSurface.h"

#include <algorithm>

// GDI+ reaches the DIB through a bitmap that wraps its memory as 32bppPARGB rather than through
// a graphics on the memory DC: the format is then explicit (premultiplied ARGB, what
// UpdateLayeredWindow with AC_SRC_ALPHA reads), where the DC route leaves it to GDI+'s guess
// and under Wine blends every call through a temporary DIB, which rounds differently. The DIB
// is bottom-up, so the wrapper starts at the last row and walks with a negative stride.
bool DibSurface::Create(HWND hwnd, int width, int height) {
    Reset();
    if (width <= 0 || height <= 0) return false;
    {
        WindowDc windowDc(hwnd);
        memoryDc_.reset(CreateCompatibleDC(windowDc.get()));
    }
    if (!memoryDc_) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dib_.reset(CreateDIBSection(memoryDc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib_ || !bits) {
        Reset();
        return false;
    }
    bits_ = static_cast<uint32_t*>(bits);
    size_ = SIZE{width, height};
    selection_ = std::make_unique<SelectGuard>(memoryDc_.get(), dib_.get());
    bitmap_ = NewGdiPlus<Gdiplus::Bitmap>(width, height, -4 * width, PixelFormat32bppPARGB,
                                          reinterpret_cast<BYTE*>(Row(0)));
    if (!bitmap_) {
        Reset();
        return false;
    }
    return true;
}

void DibSurface::Reset() {
    bitmap_.reset();
    selection_.reset();
    dib_.reset();
    memoryDc_.reset();
    bits_ = nullptr;
    size_ = SIZE{0, 0};
}

void DibSurface::Fill(uint32_t pixel) {
    if (!bits_) return;
    GdiFlush();   // GDI may still be writing to the DIB from an earlier call
    std::fill_n(bits_, static_cast<size_t>(size_.cx) * static_cast<size_t>(size_.cy), pixel);
}

uint32_t* DibSurface::Row(int y) const {
    if (!bits_ || y < 0 || y >= size_.cy) return nullptr;
    return bits_ + static_cast<size_t>(size_.cy - 1 - y) * static_cast<size_t>(size_.cx);
}

uint32_t DibSurface::PixelAt(int x, int y) const {
    const uint32_t* row = Row(y);
    if (!row || x < 0 || x >= size_.cx) return 0;
    GdiFlush();
    return row[x];
}
