// Sizes of the lock and unlock wipe: how many 5-pixel steps it takes and where its ten bands
// start. Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>

constexpr int kEffectBands = 10;
constexpr int kEffectStripWidth = 5;

// N, the last step index of the wipe: screen width / 50, rounded half to even.
int EffectStepCount(int screenWidth);

// Left edges of the bands in entries 1..10 (entry 0 unused): band width w = screen width / 10
// rounded up, entry i = w * (i - 1).
std::array<int, kEffectBands + 1> CalcEffectBands(int screenWidth);
