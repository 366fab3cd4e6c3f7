// The data of the lock and unlock wipes: where the ten bands start, and the 5-pixel strips cut
// in advance from the background picture as cached bitmaps (fast to draw every 25 ms).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "cover/EffectMath.h"
#include "ui/GdiPlusHandles.h"

class ImageTable;

// The lock session keeps one set and gives it to the primary cover, which draws the wipes from it.
class EffectStrips {
public:
    // The strips are cut from the background picture of `images`; the unlock's erase strip is
    // kept there (slot 20).
    explicit EffectStrips(ImageTable& images) : images_(images) {}
    EffectStrips(const EffectStrips&) = delete;
    EffectStrips& operator=(const EffectStrips&) = delete;

    // Cut for the cover's graphics on a screen of width x height, unless they were cut from the
    // same picture already.
    void Prepare(Gdiplus::Graphics* coverGraphics, int width, int height);
    // The unlock wipe's one strip, a screen high, in the image table.
    void PrepareUnlock(Gdiplus::Graphics* coverGraphics, int height);
    // Both given back (the picture or the screen changed, or the wipe is over).
    void Release();

    // N of the prepared strips (steps 0..N), or -1 when none are prepared.
    int Steps() const { return static_cast<int>(strips_.size()) - 1; }
    // Left edge of band i in entry i (1..10) for the screen the strips were cut from; the strip
    // of step j and band i goes at that edge + 5 j.
    const std::array<int, kEffectBands + 1>& Bands() const { return bands_; }
    // The strip of step j and band i (1..10), or null (not prepared, out of range, or not made).
    Gdiplus::CachedBitmap* Strip(int step, int band) const;
    // The picture the strips were cut from (the cache key); null before the first build.
    const Gdiplus::Image* Image() const { return image_; }
    // How many times the strips have been cut.
    int Builds() const { return builds_; }

private:
    using StripRow = std::array<GdiPlusPtr<Gdiplus::CachedBitmap>, kEffectBands + 1>;   // column 0 unused

    ImageTable& images_;
    const Gdiplus::Image* image_ = nullptr;   // the cache key
    uint32_t imageSerial_ = 0;                // and the slot's serial: addresses get reused
    std::vector<StripRow> strips_;            // steps 0..N
    std::array<int, kEffectBands + 1> bands_{};   // where each band's strips were cut
    int builds_ = 0;
};
