// The wipe strips: cut once from the background picture into cached bitmaps bound to the
// cover's graphics, and kept until the picture changes, so each 25 ms step of the lock effect
// is ten plain blits.
#include "cover/EffectStrips.h"

#include "cover/PrimaryCover.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"

namespace {

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

Gdiplus::CachedBitmap* EffectStrips::Strip(int step, int band) const {
    if (step < 0 || step >= static_cast<int>(strips_.size()) || band < 1 || band > kEffectBands) return nullptr;
    return strips_[static_cast<size_t>(step)][static_cast<size_t>(band)].get();
}

void EffectStrips::Prepare(Gdiplus::Graphics* target, int width, int height) {
    Gdiplus::Image* picture = images_.Image(kSlotBackground);
    const uint32_t serial = images_.ImageSerial(kSlotBackground);
    if (image_) {
        // Cut from this picture already. The handle alone is no proof: a new picture loaded
        // right after the old one was freed often gets the same address.
        if (image_ == picture && imageSerial_ == serial) return;
        Release();
    }
    // Without a picture or a cover there is nothing to cut; the key stays empty so the next call
    // tries again.
    if (!picture || !target || width <= 0 || height <= 0) return;
    StripCanvas canvas(height);
    if (!canvas.IsReady()) return;

    image_ = picture;
    imageSerial_ = serial;
    const int steps = EffectStepCount(width);
    strips_.clear();
    strips_.resize(static_cast<size_t>(steps) + 1);
    bands_ = CalcEffectBands(width);
    const Gdiplus::Rect destination(0, 0, kEffectStripWidth, height);
    for (int j = 0; j <= steps; ++j) {
        for (int i = 1; i <= kEffectBands; ++i) {
            canvas.Graphics->DrawImage(picture, destination, bands_[i] + kEffectStripWidth * j, 0,
                                       kEffectStripWidth, height, Gdiplus::UnitPixel);
            strips_[static_cast<size_t>(j)][static_cast<size_t>(i)] =
                NewGdiPlus<Gdiplus::CachedBitmap>(canvas.Bitmap.get(), target);
            canvas.Graphics->Clear(Gdiplus::Color(kClearTransparent));
        }
    }
    ++builds_;
}

void EffectStrips::Release() {
    strips_.clear();
    image_ = nullptr;
    images_.SetCached(kSlotEraseStrip, nullptr);
}

void EffectStrips::PrepareUnlock(Gdiplus::Graphics* target, int height) {
    images_.SetCached(kSlotEraseStrip, nullptr);
    if (!target || height <= 0) return;
    StripCanvas canvas(height);
    if (!canvas.IsReady()) return;
    canvas.Graphics->Clear(Gdiplus::Color(kClearAlphaOne));
    images_.SetCached(kSlotEraseStrip, NewGdiPlus<Gdiplus::CachedBitmap>(canvas.Bitmap.get(), target));
}
