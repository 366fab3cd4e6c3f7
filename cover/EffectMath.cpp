// The wipe's geometry, shared by the lock effect, the unlock effect and the strip preparation so
// the three always agree on where a band starts.
#include "cover/EffectMath.h"

#include "system/Text.h"

int EffectStepCount(int screenWidth) {
    // 5 pixels a step over a tenth of the width: W / 50 steps. Rounding to nearest can fall
    // short of W / 50, but there is always one step more (0..N), which covers it.
    return static_cast<int>(RoundHalfEven(screenWidth / 50.0));
}

std::array<int, kEffectBands + 1> CalcEffectBands(int screenWidth) {
    // Rounded up, not to nearest: ten bands rounded down would leave a gap at the right edge.
    int width = static_cast<int>(RoundHalfEven(screenWidth / static_cast<double>(kEffectBands)));
    if (width * kEffectBands < screenWidth) ++width;
    std::array<int, kEffectBands + 1> offsets{};
    for (int i = 1; i <= kEffectBands; ++i) offsets[i] = width * (i - 1);
    return offsets;
}
