// Process-wide values and the lock state shared by every window of the lock program. One
// instance of each lives in AppState.cpp; the lock state is the lock session's (core/LockState.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/ConfigData.h"
#include "core/PatternGrid.h"

class FrmPattern;
class FrmBackground;
class FrmTray;

// The settings record; windows read it, the configuration dialog, the pattern canvas and the
// alert-mode repair write it.
extern ConfigData Config;

// Start-up values.
extern int ScreenWidth;
extern int ScreenHeight;
extern std::array<uint8_t, 33> FadeAlpha;
extern std::string AlertText;        // the trimmed alert text the lock window draws

// Grid tables and the Dynamic Password Mode state.
extern GridLayout Layout;
extern KeyEntry EnteredKeys;
extern std::vector<uint8_t> PointLetters;

// 33 alpha steps i * 7.96875 rounded half to even (0, 8, ..., 247, 255).
std::array<uint8_t, 33> MakeFadeAlpha();
