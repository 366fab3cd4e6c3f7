// The shared image table and the routines that fill it: pictures decoded from resources or the
// user's file, and the panel, boxes and rings painted at start-up. Everything drawn more than
// once per lock is kept as a cached bitmap, so a redraw of the lock window is a few blits.
#include "ui/ImageTable.h"

#include <objidl.h>

#include <algorithm>

#include <cstddef>
#include <cstdint>

#include <vector>

#include "core/ConfigData.h"
#include "system/Text.h"
#include "system/WinHandles.h"
#include "core/LockScreenModel.h"

namespace {

constexpr Gdiplus::ARGB kBoxColour = 0xCC000000;
constexpr Gdiplus::ARGB kDotColour = 0xAAFFFFFF;
constexpr Gdiplus::ARGB kRingShade = 0x77000000;
constexpr Gdiplus::ARGB kRingCentre = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kRedRim = 0xFFFF0000;
constexpr Gdiplus::ARGB kBlueRim = 0xFF003FFF;
constexpr int kPanelRadius = 25;
constexpr int kBoxRadius = 5;
constexpr int kDotSize = 34;
constexpr int kLargeRingOuter = 52, kLargeRingInner = 34;
constexpr LONGLONG kMaxPictureFileBytes = 256LL * 1024 * 1024;
constexpr int kSmallRingOuter = 36, kSmallRingInner = 24, kSmallRingBitmap = 37;

bool IsSlot(int slot) { return slot >= 0 && slot < kImageSlots; }

GdiPlusPtr<Gdiplus::Bitmap> NewArgbBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    return NewGdiPlus<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
}

// Draws the source scaled into the whole target. Edge pixels are mirrored instead of blended
// with nothing, so a scaled picture keeps opaque borders (the default wrap mode fades the outer
// pixel row of a bicubic resize).
bool DrawScaled(Gdiplus::Graphics& graphics, Gdiplus::Image* source, const Gdiplus::RectF& target) {
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    return graphics.DrawImage(source, target, 0, 0, static_cast<Gdiplus::REAL>(source->GetWidth()),
                              static_cast<Gdiplus::REAL>(source->GetHeight()), Gdiplus::UnitPixel,
                              &attributes) == Gdiplus::Ok;
}

// A 32-bit ARGB copy of the source at its own size, independent of any stream behind it.
GdiPlusPtr<Gdiplus::Bitmap> CopyBitmap(Gdiplus::Image* source) {
    if (!source) return nullptr;
    const int width = static_cast<int>(source->GetWidth());
    const int height = static_cast<int>(source->GetHeight());
    auto copy = NewArgbBitmap(width, height);
    if (!copy) return nullptr;
    auto graphics = NewGdiPlus<Gdiplus::Graphics>(copy.get());
    if (!graphics) return nullptr;
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (graphics->DrawImage(source, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
    return copy;
}

// Averages each scale x scale block of the premultiplied source into one pixel.
GdiPlusPtr<Gdiplus::Bitmap> Downsample(Gdiplus::Bitmap& source, int width, int height, int scale) {
    auto target = NewGdiPlus<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    if (!target) return nullptr;
    Gdiplus::Rect sourceRect(0, 0, width * scale, height * scale);
    Gdiplus::Rect targetRect(0, 0, width, height);
    Gdiplus::BitmapData from{}, to{};
    if (source.LockBits(&sourceRect, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &from) != Gdiplus::Ok)
        return nullptr;
    if (target->LockBits(&targetRect, Gdiplus::ImageLockModeWrite, PixelFormat32bppPARGB, &to) != Gdiplus::Ok) {
        source.UnlockBits(&from);
        return nullptr;
    }
    const uint32_t samples = static_cast<uint32_t>(scale * scale);
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<uint32_t*>(static_cast<BYTE*>(to.Scan0) + static_cast<ptrdiff_t>(y) * to.Stride);
        for (int x = 0; x < width; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < scale; ++dy) {
                const auto* in = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(from.Scan0) +
                                                                   static_cast<ptrdiff_t>(y * scale + dy) * from.Stride);
                for (int dx = 0; dx < scale; ++dx) {
                    const uint32_t p = in[x * scale + dx];
                    for (int c = 0; c < 4; ++c) sum[c] += (p >> (8 * c)) & 0xFF;
                }
            }
            uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) pixel |= ((sum[c] + samples / 2) / samples) << (8 * c);
            out[x] = pixel;
        }
    }
    target->UnlockBits(&to);
    source.UnlockBits(&from);
    return target;
}

// A new transparent bitmap, anti-aliased graphics on it, the painter.
template <class Painter>
GdiPlusPtr<Gdiplus::Bitmap> PaintBitmap(int width, int height, Painter paint) {
    auto bitmap = NewArgbBitmap(width, height);
    if (!bitmap) return nullptr;
    auto graphics = NewGdiPlus<Gdiplus::Graphics>(bitmap.get());
    if (!graphics) return nullptr;
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    paint(*graphics);
    return bitmap;
}

// Round shapes painted at four times the size and averaged down. Wine's GDI+ fills ellipses
// through GDI regions, without anti-aliasing and with a coarse outline (a 34-pixel dot came out
// as an octagon); this gives smooth dots and rings there and the same picture on Windows. The
// transform keeps GDI+'s convention that pixel centres lie on whole coordinates, so the shapes
// land exactly where a direct paint would put them, and areas of one colour keep their value.
template <class Painter>
GdiPlusPtr<Gdiplus::Bitmap> PaintSmooth(int width, int height, Painter paint) {
    if (width <= 0 || height <= 0) return nullptr;
    constexpr int kScale = 4;
    auto large = NewGdiPlus<Gdiplus::Bitmap>(width * kScale, height * kScale, PixelFormat32bppPARGB);
    if (!large) return nullptr;
    {
        auto graphics = NewGdiPlus<Gdiplus::Graphics>(large.get());
        if (!graphics) return nullptr;
        graphics->Clear(Gdiplus::Color(0x00000000));
        const Gdiplus::REAL offset = (kScale - 1) / 2.0f;
        Gdiplus::Matrix transform(kScale, 0, 0, kScale, offset, offset);
        graphics->SetTransform(&transform);
        graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        paint(*graphics);
    }
    return Downsample(*large, width, height, kScale);
}

// The source drawn smoothly into a new width x height bitmap.
GdiPlusPtr<Gdiplus::Bitmap> FitPicture(int width, int height, Gdiplus::Image* source) {
    auto bitmap = NewArgbBitmap(width, height);
    if (!bitmap || !source) return nullptr;
    auto graphics = NewGdiPlus<Gdiplus::Graphics>(bitmap.get());
    if (!graphics) return nullptr;
    graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    DrawScaled(*graphics, source,
               Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height)));
    return bitmap;
}

}  // namespace

std::unique_ptr<DibSurface> FitPictureSurface(Gdiplus::Image* picture, int width, int height) {
    if (!picture || picture->GetWidth() == 0 || picture->GetHeight() == 0) return nullptr;
    auto surface = std::make_unique<DibSurface>();
    if (!surface->Create(nullptr, width, height)) return nullptr;
    surface->Fill(0xFF000000);
    auto graphics = NewGdiPlus<Gdiplus::Graphics>(surface->Bitmap());
    if (!graphics) return nullptr;
    graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (!DrawScaled(*graphics, picture,
                    Gdiplus::RectF(0, 0, static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height))))
        return nullptr;
    graphics->Flush(Gdiplus::FlushIntentionSync);
    return surface;
}

namespace {

bool IsExistingFile(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// The user's picture when it exists and decodes, else the built-in one, at the screen's size.
std::unique_ptr<DibSurface> ImageTable::MakeBackground(const BackgroundSource& source) {
    GdiPlusPtr<Gdiplus::Bitmap> picture;
    if (IsExistingFile(source.Path)) picture = LoadPictureFile(source.Path);
    // A file that exists but is no picture (or a damaged one) must not leave the cover empty.
    if (!picture) picture = LoadResourcePicture(source.Module, "BACKGROUND");
    if (!picture) return nullptr;
    return FitPictureSurface(picture.get(), source.Width, source.Height);
}

// Slot 0 in the making on its own thread; the result is stored by the window thread when it
// first needs the slot. GDI+ objects may be made on any thread once GDI+ is started, as long as
// one thread at a time uses each: the picture is the thread's alone until it is taken.
DWORD WINAPI ImageTable::MakePendingBackground(void* job) {
    auto* pending = static_cast<PendingBackground*>(job);
    pending->Result = MakeBackground(pending->Source);
    return 0;
}

ImageTable::~ImageTable() {
    if (pending_.Thread) WaitForSingleObject(pending_.Thread.get(), INFINITE);
}

// Everything read on the window thread, so that the picture can be made on any thread.
ImageTable::BackgroundSource ImageTable::SourceFor(const ConfigData& config, const LockScreenModel& model) const {
    return {ReadFixedText(config.BackgroundImage), resourceModule_, model.ScreenWidth, model.ScreenHeight};
}

bool ImageTable::LoadBackground(const BackgroundSource& source) {
    auto picture = MakeBackground(source);
    const bool made = picture != nullptr;
    SetBackground(std::move(picture));
    return made;
}

void ImageTable::StartBackgroundAside(const BackgroundSource& source) {
    Free(kSlotBackground);   // and an earlier one still in the making
    pending_.Source = source;
    pending_.Thread.reset(CreateThread(nullptr, 0, MakePendingBackground, &pending_, 0, nullptr));
    // Without a thread it is made here and now.
    if (!pending_.Thread) LoadBackground(source);
}

bool ImageTable::LoadResourceSlot(const char* name, int width, int height, int slot, bool clone, bool asImage,
                                  Gdiplus::Graphics* lockGraphics) {
    auto picture = LoadResourcePicture(resourceModule_, name);
    if (!picture) return false;
    return Render(width, height, picture.get(), slot, clone, asImage, lockGraphics);
}

void ImageTable::TakePendingBackground(int slot) {
    if (slot != kSlotBackground || !pending_.Thread) return;
    WaitForSingleObject(pending_.Thread.get(), INFINITE);
    pending_.Thread.reset();
    background_ = std::move(pending_.Result);
    ++imageSerials_[kSlotBackground];
}

Gdiplus::Image* ImageTable::Image(int slot) {
    TakePendingBackground(slot);
    if (slot == kSlotBackground) return background_ ? background_->Bitmap() : nullptr;
    return IsSlot(slot) ? images_[slot].get() : nullptr;
}

const DibSurface* ImageTable::Background() {
    TakePendingBackground(kSlotBackground);
    return background_.get();
}

void ImageTable::SetBackground(std::unique_ptr<DibSurface> picture) {
    TakePendingBackground(kSlotBackground);
    background_ = std::move(picture);
    ++imageSerials_[kSlotBackground];
}

Gdiplus::CachedBitmap* ImageTable::Cached(int slot) const {
    return IsSlot(slot) ? cached_[slot].get() : nullptr;
}

void ImageTable::SetImage(int slot, GdiPlusPtr<Gdiplus::Image> image) {
    TakePendingBackground(slot);
    if (slot == kSlotBackground) {
        SetBackground(image ? FitPictureSurface(image.get(), static_cast<int>(image->GetWidth()),
                                                static_cast<int>(image->GetHeight()))
                            : nullptr);
        return;
    }
    if (!IsSlot(slot)) return;
    images_[slot] = std::move(image);
    ++imageSerials_[slot];
}

void ImageTable::SetCached(int slot, GdiPlusPtr<Gdiplus::CachedBitmap> cached) {
    if (IsSlot(slot)) cached_[slot] = std::move(cached);
}

void ImageTable::Free(int slot) {
    TakePendingBackground(slot);
    if (!IsSlot(slot)) return;
    if (slot == kSlotBackground) background_.reset();
    images_[slot].reset();
    cached_[slot].reset();
    ++imageSerials_[slot];
}

uint32_t ImageTable::ImageSerial(int slot) {
    TakePendingBackground(slot);
    return IsSlot(slot) ? imageSerials_[slot] : 0;
}

void ImageTable::FreeAll() {
    for (int slot = 0; slot < kImageSlots; ++slot) Free(slot);
}

bool ImageTable::Store(GdiPlusPtr<Gdiplus::Bitmap> bitmap, int slot, bool asImage, Gdiplus::Graphics* lockGraphics) {
    if (!bitmap || !IsSlot(slot)) return false;
    if (asImage) {
        SetImage(slot, std::move(bitmap));
        return true;
    }
    if (!lockGraphics) return false;
    auto cached = NewGdiPlus<Gdiplus::CachedBitmap>(bitmap.get(), lockGraphics);
    if (!cached) return false;
    SetCached(slot, std::move(cached));
    return true;  // the bitmap itself is freed here: the cached copy does not need it
}

bool ImageTable::Draw(Gdiplus::Graphics* graphics, int slot, int kind, double x, double y, double width,
                      double height) {
    if (!graphics) return false;
    const auto left = static_cast<Gdiplus::REAL>(x);
    const auto top = static_cast<Gdiplus::REAL>(y);
    if (kind == kDrawCachedBitmap) {
        Gdiplus::CachedBitmap* cached = Cached(slot);
        if (!cached) return false;
        return graphics->DrawCachedBitmap(cached, static_cast<INT>(RoundHalfEven(x)),
                                          static_cast<INT>(RoundHalfEven(y))) == Gdiplus::Ok;
    }
    Gdiplus::Image* image = Image(slot);
    if (!image || width <= 0 || height <= 0) return false;
    const Gdiplus::RectF target(left, top, static_cast<Gdiplus::REAL>(width),
                                static_cast<Gdiplus::REAL>(height));
    if (image->GetWidth() == static_cast<UINT>(width) && image->GetHeight() == static_cast<UINT>(height))
        return graphics->DrawImage(image, target) == Gdiplus::Ok;
    return DrawScaled(*graphics, image, target);
}

void ClearGraphics(Gdiplus::Graphics* graphics, Gdiplus::ARGB argb) {
    if (graphics) graphics->Clear(Gdiplus::Color(argb));
}

bool ImageTable::Render(int width, int height, Gdiplus::Image* source, int slot, bool clone, bool asImage,
                        Gdiplus::Graphics* lockGraphics) {
    if (!source || !IsSlot(slot)) return false;
    if (clone) {
        auto copy = CopyBitmap(source);
        if (!copy) return false;
        SetImage(slot, std::move(copy));
        return true;
    }
    return Store(FitPicture(width, height, source), slot, asImage, lockGraphics);
}

// Four quarter pies for the corners, then the three rectangles between them copied over with
// no blending, so the shared edges are not darkened twice. The pies go through a smooth layer
// (see PaintSmooth): Wine fills a pie of 11 pixels as a nearly square block.
void FillRoundBox(Gdiplus::Graphics* graphics, int radius, int x, int y, int width, int height) {
    if (!graphics) return;
    auto brush = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(kBoxColour));
    if (!brush) return;
    const int r = radius;
    const int d = 2 * r + 1;
    // The layer starts one pixel up and left, where the first pie starts.
    auto pies = PaintSmooth(width + 2, height + 2, [&](Gdiplus::Graphics& g) {
        auto layerBrush = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(kBoxColour));
        if (!layerBrush) return;
        g.FillPie(layerBrush.get(), 0, 0, d, d, 180.0f, 90.0f);
        g.FillPie(layerBrush.get(), width - 2 * r, height - 2 * r, d, d, 360.0f, 90.0f);
        g.FillPie(layerBrush.get(), width - 2 * r, 0, d, d, 270.0f, 90.0f);
        g.FillPie(layerBrush.get(), 0, height - 2 * r, d, d, 90.0f, 90.0f);
    });
    if (pies) graphics->DrawImage(pies.get(), x - 1, y - 1, width + 2, height + 2);
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
    graphics->FillRectangle(brush.get(), x + r, y, width - 2 * r, height);
    graphics->FillRectangle(brush.get(), x, y + r, r, height - 2 * r);
    graphics->FillRectangle(brush.get(), x + width - r, y + r, r, height - 2 * r);
}

void DrawPanel(Gdiplus::Graphics* graphics, const GridLayout& layout, int x, int y, int width, int height) {
    if (!graphics) return;
    FillRoundBox(graphics, layout.Px(kPanelRadius), x, y, width, height);
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    auto dots = PaintSmooth(width, height, [&](Gdiplus::Graphics& g) {
        auto brush = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(kDotColour));
        if (!brush) return;
        const int size = layout.Px(kDotSize);
        for (int k = 1; k <= layout.GridSide * layout.GridSide; ++k) {
            const LayoutPosition dot = layout.Point(k).Dot;
            g.FillEllipse(brush.get(), dot.X, dot.Y, size, size);
        }
    });
    if (dots) graphics->DrawImage(dots.get(), x, y, width, height);
}

void DrawRing(Gdiplus::Graphics* graphics, Gdiplus::ARGB rim, int outer, int inner) {
    if (!graphics) return;
    auto shade = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(kRingShade));
    auto centre = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(kRingCentre));
    auto pen = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(rim), 1.0f);
    if (shade) graphics->FillEllipse(shade.get(), 0, 0, outer, outer);
    const int offset = static_cast<int>(RoundHalfEven((outer - inner) / 2.0));
    if (centre) graphics->FillEllipse(centre.get(), offset, offset, inner, inner);
    if (pen) graphics->DrawEllipse(pen.get(), 0, 0, outer, outer);
}

bool ImageTable::CreatePanelImage(const GridLayout& layout, int width, int height, int slot, bool asImage,
                                  Gdiplus::Graphics* lockGraphics) {
    auto panel = PaintBitmap(width, height, [&](Gdiplus::Graphics& g) { DrawPanel(&g, layout, 0, 0, width, height); });
    return Store(std::move(panel), slot, asImage, lockGraphics);
}

bool ImageTable::CreateBoxImage(int radius, int width, int height, int slot, bool asImage,
                                Gdiplus::Graphics* lockGraphics) {
    auto box = PaintBitmap(width, height, [&](Gdiplus::Graphics& g) { FillRoundBox(&g, radius, 0, 0, width, height); });
    return Store(std::move(box), slot, asImage, lockGraphics);
}

// The small rings (no layout) are for the 320 x 320 pattern boxes, the large ones for the lock
// screen at its layout's scale.
static GdiPlusPtr<Gdiplus::Bitmap> PaintRing(Gdiplus::ARGB rim, int width, int height, const GridLayout* lockLayout) {
    const int outer = lockLayout ? lockLayout->Px(kLargeRingOuter) : kSmallRingOuter;
    const int inner = lockLayout ? lockLayout->Px(kLargeRingInner) : kSmallRingInner;
    return PaintSmooth(width, height, [&](Gdiplus::Graphics& g) { DrawRing(&g, rim, outer, inner); });
}

bool ImageTable::CreateRedRingImage(int width, int height, int slot, const GridLayout* lockLayout, bool asImage,
                                    Gdiplus::Graphics* lockGraphics) {
    return Store(PaintRing(kRedRim, width, height, lockLayout), slot, asImage, lockGraphics);
}

bool ImageTable::CreateBlueRingImage(int width, int height, int slot, const GridLayout* lockLayout, bool asImage,
                                     Gdiplus::Graphics* lockGraphics) {
    return Store(PaintRing(kBlueRim, width, height, lockLayout), slot, asImage, lockGraphics);
}

// Each step stands alone: a picture that is missing leaves its slot empty and the rest loads.
void ImageTable::Load(const ConfigData& config, const LockScreenModel& model, Gdiplus::Graphics* lockGraphics,
                      HMODULE resourceModule, BackgroundLoad background) {
    resourceModule_ = resourceModule;
    if (background == BackgroundLoad::Aside)
        StartBackgroundAside(SourceFor(config, model));
    else
        LoadBackground(SourceFor(config, model));
    RebuildLockImages(model.Layout, lockGraphics);
    CreateBlueRingImage(kSmallRingBitmap, kSmallRingBitmap, kSlotSmallBlueRing, nullptr, true);
    CreateRedRingImage(kSmallRingBitmap, kSmallRingBitmap, kSlotSmallRedRing, nullptr, true);
    LoadResourceSlot("KEYBOARDENABLE", 32, 32, kSlotKeyboardIcon, true, true);
    LoadResourceSlot("PATTERNENABLE", 32, 32, kSlotPatternEnableIcon, true, true);
    LoadResourceSlot("PATTERNDISPLAY", 32, 32, kSlotPatternDisplayIcon, true, true);
}

// Each at the layout's scale, so that what is drawn covers what is hit.
void ImageTable::RebuildLockImages(const GridLayout& layout, Gdiplus::Graphics* lockGraphics) {
    const int ring = layout.Px(kRingBitmapSize);
    const int alarmWidth = layout.Px(kAlarmPictureWidth), alarmHeight = layout.Px(kAlarmPictureHeight);
    for (int slot : {kSlotBlueRing, kSlotRedRing, kSlotAlarmRed, kSlotAlarmBlue, kSlotIconBox, kSlotInputBox})
        Free(slot);
    RebuildPanel(layout, lockGraphics);
    CreateBlueRingImage(ring, ring, kSlotBlueRing, &layout, false, lockGraphics);
    CreateRedRingImage(ring, ring, kSlotRedRing, &layout, false, lockGraphics);
    LoadResourceSlot("ALARMRED", alarmWidth, alarmHeight, kSlotAlarmRed, false, false, lockGraphics);
    LoadResourceSlot("ALARMBLUE", alarmWidth, alarmHeight, kSlotAlarmBlue, false, false, lockGraphics);
    const int radius = layout.Px(kBoxRadius);
    CreateBoxImage(radius, layout.Px(kIconBoxWidth), layout.Px(kIconBoxHeight), kSlotIconBox, false, lockGraphics);
    CreateBoxImage(radius, layout.Px(kInputBoxWidth), layout.Px(kInputBoxHeight), kSlotInputBox, false, lockGraphics);
}

bool ImageTable::ReloadBackground(const ConfigData& config, const LockScreenModel& model) {
    Free(kSlotBackground);
    return LoadBackground(SourceFor(config, model));
}

bool ImageTable::RebuildPanel(const GridLayout& layout, Gdiplus::Graphics* lockGraphics) {
    Free(kSlotPanel);
    return CreatePanelImage(layout, layout.PanelSize, layout.PanelSize, kSlotPanel, false, lockGraphics);
}

GdiPlusPtr<Gdiplus::Bitmap> DecodePicture(const void* bytes, size_t size) {
    if (!bytes || size == 0) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    // The stream frees the memory when it is released.
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || !stream) {
        GlobalFree(memory);
        return nullptr;
    }
    GdiPlusPtr<Gdiplus::Bitmap> copy;
    {
        auto decoded = NewGdiPlus<Gdiplus::Bitmap>(stream, FALSE);
        // GDI+ may decode lazily from the stream; the copy is complete before the stream goes.
        if (decoded) copy = CopyBitmap(decoded.get());
    }
    stream->Release();
    return copy;
}

GdiPlusPtr<Gdiplus::Bitmap> LoadResourcePicture(HMODULE module, const char* name) {
    if (!module) module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, "CUSTOM");
    if (!resource) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const DWORD size = SizeofResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return DecodePicture(bytes, size);
}

GdiPlusPtr<Gdiplus::Bitmap> LoadPictureFile(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    LARGE_INTEGER size{};
    // Anything this large is no picture the user meant; reading it would only exhaust memory.
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxPictureFileBytes)
        return nullptr;
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return nullptr;
    return DecodePicture(bytes.data(), bytes.size());
}
