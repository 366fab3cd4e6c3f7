// A 32-bit premultiplied picture that both GDI and GDI+ reach: a bottom-up DIB section selected
// into a memory DC (what UpdateLayeredWindow reads) and a GDI+ bitmap over the same memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"

class DibSurface {
public:
    DibSurface() = default;
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() { Reset(); }

    // width x height in a memory DC compatible with the window's DC (null: the screen's); any
    // earlier surface is given back first. False, and nothing kept, when it cannot be made.
    bool Create(HWND hwnd, int width, int height);
    void Reset();

    bool IsReady() const { return bitmap_ != nullptr; }
    HDC Dc() const { return memoryDc_.get(); }
    // 32bppPARGB, row 0 at the top; null without a surface.
    Gdiplus::Bitmap* Bitmap() const { return bitmap_.get(); }
    int Width() const { return size_.cx; }
    int Height() const { return size_.cy; }
    SIZE Size() const { return size_; }

    // Every pixel set to one premultiplied value.
    void Fill(uint32_t pixel);
    // Row y (from the top) of the memory, or null.
    uint32_t* Row(int y) const;
    // The premultiplied 0xAARRGGBB pixel at (x, y) from the top left; 0 outside.
    uint32_t PixelAt(int x, int y) const;

private:
    SIZE size_{0, 0};
    uint32_t* bits_ = nullptr;
    // Declaration order is destruction order reversed: the GDI+ bitmap goes before the memory it
    // wraps, the selection is undone before the DIB is deleted, the DC last.
    UniqueHdc memoryDc_;
    UniqueHbitmap dib_;
    std::unique_ptr<SelectGuard> selection_;
    GdiPlusPtr<Gdiplus::Bitmap> bitmap_;
};
