// What the lock screen shows and takes: the screen it covers, the grid laid out on it, the
// Dynamic Password letters and keys, the alert text, and the fade steps. The lock session owns
// the one record and hands it to the windows that draw it. Pure: unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/PatternGrid.h"

struct LockScreenModel {
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    int Dpi = kBaseDpi;                  // the primary monitor's, which the layout scales for
    GridLayout Layout;
    std::vector<uint8_t> PointLetters;   // the letter on each point 1..N*N (index 0 unused)
    KeyEntry EnteredKeys;                // the keys typed in the Dynamic Password Mode
    std::string AlertText;               // the trimmed alert text under the panel

    int PointCount() const { return Layout.GridSide * Layout.GridSide; }
    // The screen's size and DPI and the layout of `grid` on it.
    void Fit(int grid, int width, int height, int dpi);
    // A fresh letter on every point and no key typed.
    void ShuffleLetters(const std::function<double()>& uniform);
};

// 33 alpha steps i * 7.96875 rounded half to even (0, 8, ..., 247, 255). Only step 16 falls on a
// half (127.5), and it rounds up to the even 128, so rounding every step up at .5 is the same.
constexpr std::array<uint8_t, 33> MakeFadeAlpha() {
    std::array<uint8_t, 33> alpha{};
    for (int i = 0; i <= 32; ++i) alpha[static_cast<size_t>(i)] = static_cast<uint8_t>((i * 255 + 16) / 32);
    return alpha;
}
inline constexpr std::array<uint8_t, 33> kFadeAlpha = MakeFadeAlpha();
