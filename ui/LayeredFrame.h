// The frame every full-screen layered window draws into: a 32-bit DIB section in a memory DC,
// a GDI+ graphics on it, and the UpdateLayeredWindow call that hands it to the window manager
// with per-pixel and overall alpha. The lock window, the background cover and the monitor
// covers each own one LayeredFrame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/DibSurface.h"
#include "ui/GdiPlusHandles.h"

// Colours the windows clear their frames to (ARGB as GDI+ takes it).
constexpr Gdiplus::ARGB kClearAlphaOne = 0x01000000;      // looks empty, still takes the pointer
constexpr Gdiplus::ARGB kClearTransparent = 0x00FFFFFF;   // fully transparent
constexpr Gdiplus::ARGB kClearOpaqueBlack = 0xFF000000;

// ARGB to the premultiplied value GDI+ stores in a 32bppPARGB pixel (0x00FFFFFF -> 0).
uint32_t PremultiplyArgb(Gdiplus::ARGB argb);

// The width of the lock window's trail pens at 96 DPI.
constexpr float kTrailPenWidth = 19.0f;

class LayeredFrame {
public:
    LayeredFrame() = default;
    LayeredFrame(const LayeredFrame&) = delete;
    LayeredFrame& operator=(const LayeredFrame&) = delete;
    ~LayeredFrame() { DeleteGraphic(); }

    // DIB section (bottom-up, 32 bits) of width x height in a memory DC compatible with the
    // window's DC (hwnd may be null: the screen's), the graphics on it, the font objects, and
    // high-quality bicubic interpolation with anti-aliasing. False when no frame could be made;
    // the window then simply shows nothing.
    bool CreateGraphic(HWND hwnd, int width, int height);
    // WS_EX_LAYERED on the window; source point (0, 0); size = frame size; blend
    // {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}.
    void MakeLayered(HWND hwnd);
    // Fills the whole frame with one colour (premultiplied, as GDI+ would store it).
    void ClearFrame(Gdiplus::ARGB argb);
    // Fills the part of the frame inside `rect` (clipped to the frame) with one colour.
    void ClearRect(const RECT& rect, Gdiplus::ARGB argb);
    // Presents the frame with the current overall alpha / with a new overall alpha.
    bool Present();
    bool Present(BYTE alpha);
    // Presents another surface, fully opaque, in place of the frame: a picture already made at
    // the window's size needs no frame of its own. The frame itself is left as it is.
    bool PresentSurface(const DibSurface& picture);
    // Presents only `dirty` of the frame (UpdateLayeredWindowIndirect with a dirty rectangle);
    // the rest of the window keeps what the last present gave it.
    bool UpdateRect(const RECT& dirty);
    // The lock window's red and blue kTrailPenWidth pens.
    void MakeTrailPens();
    void ReleaseTrailPens();
    // Font family, centre/near string format, anti-aliased text, black and white brushes.
    void CreateGraphicFont(const char* strFont);
    void DeleteGraphicFont();
    // Everything CreateGraphic made; safe to call twice.
    void DeleteGraphic();
    // The hidden window given a one-pixel present: the system drops its copy of the last one.
    // The next present gives the window the frame's size again.
    void ShrinkHiddenWindow() const;

    // Text in a rectangle (x, y, width or the frame width when 0, height or 128 when 0), centred
    // horizontally, from the top; with borderSize > 0 a one-pixel black outline first. The text
    // is trimmed of blanks in place. fontStyle is a GDI+ FontStyle (1 = bold).
    void DrawCentredText(std::string& strText, double x, double y, int fontSize, int fontStyle,
                  int borderSize, double width, double height);
    // The covers' text: black at (x + 1, y + 1) as a shadow, then white at (x, y), in a
    // rectangle of the frame width (or width) and height 36 (or height).
    void DrawShadowText(std::string& strText, double x, double y, int fontSize = 18,
                        int fontStyle = Gdiplus::FontStyleBold, double width = 0, double height = 36);

    Gdiplus::Graphics* Graphics() const { return graphics_.get(); }
    Gdiplus::Pen* RedPen() const { return redPen_.get(); }
    Gdiplus::Pen* BluePen() const { return bluePen_.get(); }
    HDC MemoryDc() const { return surface_.Dc(); }
    HWND Window() const { return hwnd_; }
    int Width() const { return surface_.Width(); }
    int Height() const { return surface_.Height(); }
    BYTE ConstantAlpha() const { return blend_.SourceConstantAlpha; }
    bool IsReady() const { return graphics_ != nullptr; }

    // The premultiplied 0xAARRGGBB pixel at (x, y), y counted from the top; 0 outside the frame.
    uint32_t PixelAt(int x, int y) const { return surface_.PixelAt(x, y); }
    // Row y (from the top) of the frame memory, or null.
    uint32_t* Row(int y) const { return surface_.Row(y); }

private:
    void DeleteSurface();   // the DIB, its DC and the graphics, not the fonts and pens
    HWND hwnd_ = nullptr;
    BLENDFUNCTION blend_{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT source_{0, 0};
    // The graphics is declared after the surface it draws on, so it goes first.
    DibSurface surface_;
    GdiPlusPtr<Gdiplus::Graphics> graphics_;
    GdiPlusPtr<Gdiplus::Pen> redPen_;
    GdiPlusPtr<Gdiplus::Pen> bluePen_;
    GdiPlusPtr<Gdiplus::FontFamily> fontFamily_;
    GdiPlusPtr<Gdiplus::StringFormat> stringFormat_;
    GdiPlusPtr<Gdiplus::SolidBrush> blackBrush_;
    GdiPlusPtr<Gdiplus::SolidBrush> whiteBrush_;
};

// ANSI text (the program's code page) to the UTF-16 GDI+ takes.
std::wstring AnsiToWide(const std::string& text);
