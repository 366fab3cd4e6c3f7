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

namespace {

// Hundredths of a millisecond between two steps, so many steps still fit the whole exactly.
long long StepPace(int steps) {
    const long long whole = 100LL * kEffectWholeMs / (steps > 0 ? steps : 1);
    return whole < 100LL * kEffectStepMs ? whole : 100LL * kEffectStepMs;
}

}  // namespace

int EffectStepDue(int elapsedMs, int steps) {
    if (steps <= 0 || elapsedMs <= 0) return 0;
    const long long due = 100LL * elapsedMs / StepPace(steps);
    return due >= steps ? steps : static_cast<int>(due);
}

int EffectStepTime(int step, int steps) {
    if (step <= 0 || steps <= 0) return 0;
    if (step > steps) step = steps;
    return static_cast<int>((step * StepPace(steps) + 99) / 100);
}
