// The wipe strips: cut once from the background picture into cached bitmaps bound to the
// cover's graphics, and kept until the picture changes, so each 25 ms step of the lock effect
// is ten plain blits.
#include "cover/EffectStrips.h"

#include <vector>

#include "cover/PrimaryCover.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"

namespace {

using StripRow = std::array<GdiPlusPtr<Gdiplus::CachedBitmap>, kEffectBands + 1>;   // column 0 unused

struct StripCache {
    const Gdiplus::Image* Image = nullptr;   // EffectStripsImage
    uint32_t ImageSerial = 0;                // and the slot's serial: addresses get reused
    std::vector<StripRow> Strips;            // EffectStrips[0..N]
    std::array<int, kEffectBands + 1> Bands{};   // where each band's strips were cut
    int Builds = 0;
};

StripCache Cache;

// A 5-pixel-wide, screen-high 32-bit ARGB work bitmap and a graphics on it.
struct StripCanvas {
    GdiPlusPtr<Gdiplus::Bitmap> Bitmap;
    GdiPlusPtr<Gdiplus::Graphics> Graphics;
    explicit StripCanvas(int height) {
        Bitmap = NewGdiPlus<Gdiplus::Bitmap>(kEffectStripWidth, height, PixelFormat32bppARGB);
        if (Bitmap) Graphics = NewGdiPlus<Gdiplus::Graphics>(static_cast<Gdiplus::Image*>(Bitmap.get()));
        if (Graphics) Graphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    }
    bool IsReady() const { return Graphics != nullptr; }
};

}  // namespace

int EffectStripSteps() { return static_cast<int>(Cache.Strips.size()) - 1; }

Gdiplus::CachedBitmap* EffectStrip(int step, int band) {
    if (step < 0 || step >= static_cast<int>(Cache.Strips.size()) || band < 1 || band > kEffectBands)
        return nullptr;
    return Cache.Strips[static_cast<size_t>(step)][static_cast<size_t>(band)].get();
}

const std::array<int, kEffectBands + 1>& EffectStripBands() { return Cache.Bands; }

const Gdiplus::Image* EffectStripsImage() { return Cache.Image; }

int EffectStripBuilds() { return Cache.Builds; }

void PrepareEffectStrips(ImageTable& images, Gdiplus::Graphics* target, int width, int height) {
    Gdiplus::Image* picture = images.Image(kSlotBackground);
    const uint32_t serial = images.ImageSerial(kSlotBackground);
    if (Cache.Image) {
        // Cut from this picture already. The handle alone is no proof: a new picture loaded
        // right after the old one was freed often gets the same address.
        if (Cache.Image == picture && Cache.ImageSerial == serial) return;
        ReleaseEffectStrips(images);
    }
    // Without a picture or a cover there is nothing to cut; the key stays empty so the next call
    // tries again.
    if (!picture || !target || width <= 0 || height <= 0) return;
    StripCanvas canvas(height);
    if (!canvas.IsReady()) return;

    Cache.Image = picture;
    Cache.ImageSerial = serial;
    const int steps = EffectStepCount(width);
    Cache.Strips.clear();
    Cache.Strips.resize(static_cast<size_t>(steps) + 1);
    Cache.Bands = CalcEffectBands(width);
    const Gdiplus::Rect destination(0, 0, kEffectStripWidth, height);
    for (int j = 0; j <= steps; ++j) {
        for (int i = 1; i <= kEffectBands; ++i) {
            canvas.Graphics->DrawImage(picture, destination, Cache.Bands[i] + kEffectStripWidth * j, 0,
                                       kEffectStripWidth, height, Gdiplus::UnitPixel);
            Cache.Strips[static_cast<size_t>(j)][static_cast<size_t>(i)] =
                NewGdiPlus<Gdiplus::CachedBitmap>(canvas.Bitmap.get(), target);
            canvas.Graphics->Clear(Gdiplus::Color(kClearTransparent));
        }
    }
    ++Cache.Builds;
}

void ReleaseEffectStrips(ImageTable& images) {
    Cache.Strips.clear();
    Cache.Image = nullptr;
    images.SetCached(kSlotEraseStrip, nullptr);
}

void PrepareUnlockStrip(ImageTable& images, Gdiplus::Graphics* target, int height) {
    images.SetCached(kSlotEraseStrip, nullptr);
    if (!target || height <= 0) return;
    StripCanvas canvas(height);
    if (!canvas.IsReady()) return;
    canvas.Graphics->Clear(Gdiplus::Color(kClearAlphaOne));
    images.SetCached(kSlotEraseStrip, NewGdiPlus<Gdiplus::CachedBitmap>(canvas.Bitmap.get(), target));
}
