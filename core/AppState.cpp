// The single instances of the process-wide values declared in AppState.h.
#include "core/AppState.h"

#include "system/Text.h"

ConfigData Config;

int ScreenWidth = 0;
int ScreenHeight = 0;
std::array<uint8_t, 33> FadeAlpha = MakeFadeAlpha();
std::string AlertText;

GridLayout Layout;
KeyEntry EnteredKeys;
std::vector<uint8_t> PointLetters;

std::array<uint8_t, 33> MakeFadeAlpha() {
    std::array<uint8_t, 33> alpha{};
    for (int i = 0; i <= 32; ++i) alpha[i] = static_cast<uint8_t>(RoundHalfEven(i * 7.96875));
    return alpha;
}
