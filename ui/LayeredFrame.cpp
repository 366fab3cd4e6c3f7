// The shared frame of the layered windows: DIB section, memory DC, GDI+ graphics on the DIB
// memory, UpdateLayeredWindow, and the outlined text the lock window and the covers draw.
#include "ui/LayeredFrame.h"

#include <algorithm>

#include "system/Text.h"

namespace {

constexpr double kDefaultTextHeight = 128;
constexpr Gdiplus::ARGB kRedPenColour = 0xFFFF0000;
constexpr Gdiplus::ARGB kBluePenColour = 0xFF003FFF;

uint32_t PremultiplyChannel(uint32_t channel, uint32_t alpha) {
    return (channel * alpha + 127) / 255;
}

}  // namespace

uint32_t PremultiplyArgb(Gdiplus::ARGB argb) {
    const uint32_t a = (argb >> 24) & 0xFF;
    const uint32_t r = PremultiplyChannel((argb >> 16) & 0xFF, a);
    const uint32_t g = PremultiplyChannel((argb >> 8) & 0xFF, a);
    const uint32_t b = PremultiplyChannel(argb & 0xFF, a);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length) != length)
        return std::wstring();
    return wide;
}

// The font objects and pens do not depend on the surface and outlive a change of size: the
// frames are made anew at every lock, and looking the font family up again costs each time.
bool LayeredFrame::CreateGraphic(HWND hwnd, int width, int height) {
    DeleteSurface();
    source_ = POINT{0, 0};
    hwnd_ = hwnd;
    if (!surface_.Create(hwnd, width, height)) return false;
    graphics_ = NewGdiPlus<Gdiplus::Graphics>(surface_.Bitmap());
    if (!graphics_) {
        DeleteGraphic();
        return false;
    }
    if (!fontFamily_) CreateGraphicFont("Arial");
    graphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    graphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    return true;
}

void LayeredFrame::MakeLayered(HWND hwnd) {
    hwnd_ = hwnd;
    if (hwnd) {
        const LONG style = GetWindowLongA(hwnd, GWL_EXSTYLE);
        SetWindowLongA(hwnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
    }
    source_ = POINT{0, 0};
    blend_ = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
}

// A memory fill instead of Graphics::Clear: under Wine, Clear of a 1920x1080 frame takes about
// 32 ms, the fill about 1 ms, and every screen starts with it. The value is the premultiplied
// pixel GDI+ itself would store, so 0x00FFFFFF becomes all zero bytes: a premultiplied pixel
// cannot have colour above its alpha, and Windows would add such a pixel's colour to the screen
// instead of showing it transparent (Wine's UpdateLayeredWindow drops it, which looks the same).
void LayeredFrame::ClearFrame(Gdiplus::ARGB argb) { surface_.Fill(PremultiplyArgb(argb)); }

void LayeredFrame::ClearRect(const RECT& rect, Gdiplus::ARGB argb) {
    const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, Width());
    const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, Height());
    if (left >= right || top >= bottom) return;
    GdiFlush();
    const uint32_t pixel = PremultiplyArgb(argb);
    for (int y = top; y < bottom; ++y) std::fill_n(Row(y) + left, right - left, pixel);
}

bool LayeredFrame::Present() {
    if (!hwnd_ || !surface_.Dc()) return false;
    if (graphics_) graphics_->Flush(Gdiplus::FlushIntentionSync);
    GdiFlush();
    SIZE size = surface_.Size();
    POINT source = source_;
    BLENDFUNCTION blend = blend_;
    return UpdateLayeredWindow(hwnd_, nullptr, nullptr, &size, surface_.Dc(), &source, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

bool LayeredFrame::PresentSurface(const DibSurface& picture) {
    if (!hwnd_ || !picture.Dc()) return false;
    GdiFlush();
    blend_.SourceConstantAlpha = 255;
    SIZE size = picture.Size();
    POINT source{0, 0};
    BLENDFUNCTION blend = blend_;
    return UpdateLayeredWindow(hwnd_, nullptr, nullptr, &size, picture.Dc(), &source, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

// Windows copies and composes only the dirty rectangle. Wine 8 takes it too but still spends
// most of a full present on the rest of the window (see docs/performance.md); the result is
// right on both.
bool LayeredFrame::UpdateRect(const RECT& dirty) {
    if (!hwnd_ || !surface_.Dc()) return false;
    RECT clipped{std::max<LONG>(dirty.left, 0), std::max<LONG>(dirty.top, 0), std::min<LONG>(dirty.right, Width()),
                 std::min<LONG>(dirty.bottom, Height())};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return true;
    if (graphics_) graphics_->Flush(Gdiplus::FlushIntentionSync);
    GdiFlush();
    SIZE size = surface_.Size();
    POINT source = source_;
    BLENDFUNCTION blend = blend_;
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof info;
    info.psize = &size;
    info.hdcSrc = surface_.Dc();
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = &clipped;
    return UpdateLayeredWindowIndirect(hwnd_, &info) != FALSE;
}

bool LayeredFrame::Present(BYTE alpha) {
    blend_.SourceConstantAlpha = alpha;
    return Present();
}

void LayeredFrame::MakeTrailPens() {
    ReleaseTrailPens();
    redPen_ = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(kRedPenColour), kTrailPenWidth);
    bluePen_ = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(kBluePenColour), kTrailPenWidth);
}

void LayeredFrame::ReleaseTrailPens() {
    redPen_.reset();
    bluePen_.reset();
}

void LayeredFrame::CreateGraphicFont(const char* strFont) {
    DeleteGraphicFont();
    fontFamily_ = NewGdiPlus<Gdiplus::FontFamily>(AnsiToWide(strFont ? strFont : "").c_str());
    stringFormat_ = NewGdiPlus<Gdiplus::StringFormat>(0, LANG_NEUTRAL);
    if (stringFormat_) {
        stringFormat_->SetAlignment(Gdiplus::StringAlignmentCenter);
        stringFormat_->SetLineAlignment(Gdiplus::StringAlignmentNear);
    }
    if (graphics_) graphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    blackBrush_ = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(0xFF000000));
    whiteBrush_ = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFFFFFFF));
}

void LayeredFrame::DeleteGraphicFont() {
    whiteBrush_.reset();
    blackBrush_.reset();
    stringFormat_.reset();
    fontFamily_.reset();
}

void LayeredFrame::DeleteGraphic() {
    ReleaseTrailPens();
    DeleteGraphicFont();
    DeleteSurface();
}

void LayeredFrame::DeleteSurface() {
    graphics_.reset();
    surface_.Reset();
}

// A hidden layered window keeps the last frame it was given (under Wine a shared-memory window
// surface of its full size, 32 MB at 3840x2160), which would hold full-screen memory while
// unlocked. Only a present of another size replaces it: moving or sizing the hidden window
// keeps it. The present takes the frame's top left pixel.
void LayeredFrame::ShrinkHiddenWindow() const {
    if (!hwnd_ || !surface_.Dc() || IsWindowVisible(hwnd_)) return;
    SIZE one{1, 1};
    POINT source{0, 0};
    BLENDFUNCTION blend = blend_;
    UpdateLayeredWindow(hwnd_, nullptr, nullptr, &one, surface_.Dc(), &source, 0, &blend, ULW_ALPHA);
}

void LayeredFrame::DrawCentredText(std::string& strText, double x, double y, int fontSize, int fontStyle,
                            int borderSize, double width, double height) {
    strText = TrimBlanks(strText);
    if (!graphics_ || !fontFamily_ || !stringFormat_ || !whiteBrush_ || strText.empty()) return;
    auto font = NewGdiPlus<Gdiplus::Font>(fontFamily_.get(), static_cast<Gdiplus::REAL>(fontSize),
                                          fontStyle, Gdiplus::UnitPixel);
    if (!font) return;
    const std::wstring text = AnsiToWide(strText);
    const Gdiplus::RectF rect(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                              static_cast<Gdiplus::REAL>(width > 0 ? width : Width()),
                              static_cast<Gdiplus::REAL>(height > 0 ? height : kDefaultTextHeight));
    if (borderSize > 0 && blackBrush_) {
        static const Gdiplus::REAL kOffsets[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
        for (const auto& offset : kOffsets) {
            Gdiplus::RectF moved(rect.X + offset[0], rect.Y + offset[1], rect.Width, rect.Height);
            graphics_->DrawString(text.c_str(), -1, font.get(), moved, stringFormat_.get(),
                                  blackBrush_.get());
        }
    }
    graphics_->DrawString(text.c_str(), -1, font.get(), rect, stringFormat_.get(), whiteBrush_.get());
}

void LayeredFrame::DrawShadowText(std::string& strText, double x, double y, int fontSize,
                                  int fontStyle, double width, double height) {
    strText = TrimBlanks(strText);
    if (!graphics_ || !fontFamily_ || !stringFormat_ || !whiteBrush_ || !blackBrush_ ||
        strText.empty())
        return;
    auto font = NewGdiPlus<Gdiplus::Font>(fontFamily_.get(), static_cast<Gdiplus::REAL>(fontSize),
                                          fontStyle, Gdiplus::UnitPixel);
    if (!font) return;
    const std::wstring text = AnsiToWide(strText);
    const auto w = static_cast<Gdiplus::REAL>(width > 0 ? width : Width());
    const auto h = static_cast<Gdiplus::REAL>(height > 0 ? height : 36);
    const Gdiplus::RectF shadow(static_cast<Gdiplus::REAL>(x + 1), static_cast<Gdiplus::REAL>(y + 1), w, h);
    const Gdiplus::RectF rect(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), w, h);
    graphics_->DrawString(text.c_str(), -1, font.get(), shadow, stringFormat_.get(), blackBrush_.get());
    graphics_->DrawString(text.c_str(), -1, font.get(), rect, stringFormat_.get(), whiteBrush_.get());
}
