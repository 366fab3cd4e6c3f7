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

// The wipe runs on a clock: step j (0..steps) is due kEffectStepMs after step j - 1, or sooner
// when that would take the whole wipe past kEffectWholeMs. A present shows every step that is
// due, so slow presents make fewer, larger steps and the wipe ends in time at any screen size.
constexpr int kEffectStepMs = 25;
constexpr int kEffectWholeMs = 1100;
// The last step due `elapsedMs` after the wipe began (step 0 at once).
int EffectStepDue(int elapsedMs, int steps);
// How long after the wipe began step j is due.
int EffectStepTime(int step, int steps);
