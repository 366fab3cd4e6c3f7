// What the lock window shows: the idle and entry screens and the alarm screen, drawn on any
// layered frame (the lock window's, or a test's of another screen size) from a grid layout and
// the image table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/LayeredFrame.h"
#include "core/PatternGrid.h"

class ImageTable;

// Everything a pattern screen depends on.
struct LockScreenView {
    ImageTable* images = nullptr;                   // nothing is drawn without them
    const GridLayout* layout = nullptr;             // or without one
    int unlockMode = kNormalUnlockMode;
    int hotItem = -1;                               // the icon drawn larger (37..39)
    const PatternEntry* entered = nullptr;          // the drawn points (mode 0)
    const KeyEntry* keys = nullptr;                 // the typed keys (mode 2)
    const std::vector<uint8_t>* letters = nullptr;  // the letter on each point (mode 2)
    std::string timeText;
    std::string dateText;
    std::string alertText;
};

// Idle screen (isAction false) or the entry in progress (true, red when isPenColor). The frame
// is cleared first; nothing is presented.
void DrawPatternScreen(LayeredFrame& frame, const LockScreenView& view, bool isAction, bool isPenColor);
// The same screen redrawn only inside `region`: the pixels there come out as a whole redraw
// would give them, the rest of the frame is left as it is.
void DrawPatternRegion(LayeredFrame& frame, const LockScreenView& view, bool isAction, bool isPenColor,
                       const RECT& region);

// The parts of the pattern screen that change on their own, in frame pixels: the panel with
// the rings, trail and letters of an entry; the clock's two lines; the mode icons; the box of
// typed stars; or the whole frame.
enum class ScreenPart { Whole, Panel, Clock, Icons, InputBox };
RECT ScreenPartRect(const GridLayout& layout, ScreenPart part, int frameWidth, int frameHeight);
// Title, the red (alarmBlink) or blue shield, and the seconds left; nothing is presented.
void DrawAlertScreen(LayeredFrame& frame, ImageTable& images, const GridLayout& layout, int leftTime, bool alarmBlink);
