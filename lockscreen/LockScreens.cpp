// The lock window's three screens. Each is a complete redraw from a cleared frame: the panel,
// rings, boxes and shields are cached bitmaps, only the icons are scaled and the texts and
// lines rendered per draw, so a redraw costs a few milliseconds next to UpdateLayeredWindow.
#include "lockscreen/LockScreens.h"

#include <algorithm>

#include "ui/ImageTable.h"

namespace {

// Sizes and distances at 96 DPI; drawn as the layout's Px of them.
constexpr int kBold = Gdiplus::FontStyleBold;
constexpr int kOutline = 1;
constexpr int kIconHot = 34;
constexpr int kLetterBox = 53;
constexpr double kStarsTop = 4;

int PointCount(const GridLayout& layout) {
    const int side = layout.GridSide;
    return std::min(side * side, kIconKeyboard - 1);
}

void DrawScreenText(LayeredFrame& frame, std::string text, double x, double y, int size, double width = 0,
              double height = 0) {
    frame.DrawText(text, x, y, size, kBold, kOutline, width, height);
}

// Lines between consecutive entered points (empty slots skipped), then a ring on each point.
void DrawTrail(LayeredFrame& frame, const GridLayout& layout, const PatternEntry& entered, bool isPenColor) {
    Gdiplus::Graphics* g = frame.Graphics();
    Gdiplus::Pen* pen = isPenColor ? frame.RedPen() : frame.BluePen();
    if (pen) pen->SetWidth(static_cast<Gdiplus::REAL>(kTrailPenWidth * layout.Scale));
    const int points = PointCount(layout);
    std::vector<int> trail;
    for (int32_t point : entered.Slots())
        if (point >= 1 && point <= points) trail.push_back(point);
    for (size_t i = 1; pen && i < trail.size(); ++i) {
        const LayoutPosition from = layout.Point(trail[i - 1]).Centre;
        const LayoutPosition to = layout.Point(trail[i]).Centre;
        g->DrawLine(pen, from.X, from.Y, to.X, to.Y);
    }
    const int ring = isPenColor ? kSlotRedRing : kSlotBlueRing;
    for (int point : trail) {
        const LayoutSquare& square = layout.Point(point).Image;
        DrawImage(g, ring, kDrawCachedBitmap, square.Left, square.Top, 0, 0);
    }
}

// A letter on every point, the input box, and one star per typed key.
void DrawDynamicPassword(LayeredFrame& frame, const GridLayout& layout, const LockScreenView& view) {
    const int points = PointCount(layout);
    for (int k = 1; k <= points && view.letters; ++k) {
        if (static_cast<size_t>(k) >= view.letters->size()) break;
        const uint8_t letter = (*view.letters)[static_cast<size_t>(k)];
        if (letter == 0) continue;
        const LayoutEntry& point = layout.Point(k);
        DrawScreenText(frame, std::string(1, static_cast<char>(letter)), point.Image.Left,
                       point.Centre.Y - layout.Px(8), layout.Px(16), layout.Px(kLetterBox), layout.Px(kLetterBox));
    }
    const LayoutPosition box = layout.InputBoxOrigin();
    DrawImage(frame.Graphics(), kSlotInputBox, kDrawCachedBitmap, box.X, box.Y, 0, 0);
    const int typed = view.keys ? view.keys->Count() : 0;
    if (typed > 0)
        DrawScreenText(frame, std::string(static_cast<size_t>(typed), '*'), box.X, box.Y + layout.Px(kStarsTop),
                       layout.Px(18), layout.Px(kInputBoxWidth), layout.Px(kInputBoxHeight));
}

void DrawIcons(LayeredFrame& frame, const GridLayout& layout, int hotItem) {
    Gdiplus::Graphics* g = frame.Graphics();
    const LayoutPosition box = layout.IconBoxOrigin();
    DrawImage(g, kSlotIconBox, kDrawCachedBitmap, box.X, box.Y, 0, 0);
    for (int icon = kIconKeyboard; icon <= kIconPatternDisplay; ++icon) {
        const int slot = kSlotKeyboardIcon + (icon - kIconKeyboard);
        const LayoutEntry& e = layout.Icon(icon);
        if (icon == hotItem)
            DrawImage(g, slot, kDrawScaledImage, e.Hit.Left, e.Hit.Top, layout.Px(kIconHot), layout.Px(kIconHot));
        else
            DrawImage(g, slot, kDrawScaledImage, e.Image.Left, e.Image.Top, e.Image.Size, e.Image.Size);
    }
}

}  // namespace

void DrawPatternScreen(LayeredFrame& frame, const LockScreenView& view, bool isAction, bool isPenColor) {
    if (!frame.IsReady() || !view.layout) return;
    const GridLayout& layout = *view.layout;
    const double h = frame.Height();
    const double s = layout.PanelSize;
    frame.ClearFrame(kClearAlphaOne);
    const LayoutPosition panel = layout.PanelOrigin();
    DrawImage(frame.Graphics(), kSlotPanel, kDrawCachedBitmap, panel.X, panel.Y, 0, 0);
    const double f = layout.Scale;
    DrawScreenText(frame, view.timeText, 0, h / 2 - s / 2 - 67 * f, layout.Px(21));
    DrawScreenText(frame, view.dateText, 0, h / 2 - s / 2 - 37 * f, layout.Px(16));
    DrawScreenText(frame, view.alertText, 0, h / 2 + s / 2 + 20 * f, layout.Px(18));
    if (view.unlockMode == kNormalUnlockMode && isAction && view.entered)
        DrawTrail(frame, layout, *view.entered, isPenColor);
    else if (view.unlockMode == kDynamicPasswordMode)
        DrawDynamicPassword(frame, layout, view);
    DrawIcons(frame, layout, view.hotItem);
}

void DrawAlertScreen(LayeredFrame& frame, const GridLayout& layout, int leftTime, bool alarmBlink) {
    if (!frame.IsReady()) return;
    const double h = frame.Height();
    frame.ClearFrame(kClearAlphaOne);
    DrawScreenText(frame, "ATTACKING WARNING!", 0, h / 2 - 180 * layout.Scale, layout.Px(21));
    const LayoutPosition shield = layout.AlarmPictureOrigin();
    DrawImage(frame.Graphics(), alarmBlink ? kSlotAlarmRed : kSlotAlarmBlue, kDrawCachedBitmap, shield.X,
              shield.Y, 0, 0);
    DrawScreenText(frame, "System is locked in " + std::to_string(leftTime) + " seconds", 0,
                   h / 2 + 150 * layout.Scale, layout.Px(18));
}
