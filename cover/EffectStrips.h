// The data of the lock and unlock wipes: where the ten bands start, and the 5-pixel strips cut
// in advance from the background picture as cached bitmaps (fast to draw every 25 ms). The
// procedures that fill it are declared in cover/PrimaryCover.h.
#pragma once

#include <array>

#include "cover/EffectMath.h"
#include "ui/GdiPlusHandles.h"

// N of the prepared strips (steps 0..N), or -1 when none are prepared.
int EffectStripSteps();
// Left edge of band i in entry i (1..10) for the screen the strips were cut from; the strip of
// step j and band i goes at that edge + 5 j.
const std::array<int, kEffectBands + 1>& EffectStripBands();
// The strip of step j and band i (1..10), or null (not prepared, out of range, or not made).
Gdiplus::CachedBitmap* EffectStrip(int step, int band);
// The picture the strips were cut from (the cache key); null before the first build.
const Gdiplus::Image* EffectStripsImage();
// How many times the strips have been cut since the program started.
int EffectStripBuilds();
