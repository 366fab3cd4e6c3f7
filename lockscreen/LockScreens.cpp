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
    frame.DrawCentredText(text, x, y, size, kBold, kOutline, width, height);
}

// Lines between consecutive entered points (empty slots skipped), then a ring on each point.
void DrawTrail(LayeredFrame& frame, ImageTable& images, const GridLayout& layout, const PatternEntry& entered,
               bool isPenColor) {
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
        images.Draw(g, ring, kDrawCachedBitmap, square.Left, square.Top, 0, 0);
    }
}

// A letter on every point, the input box, and one star per typed key.
void DrawDynamicPassword(LayeredFrame& frame, ImageTable& images, const GridLayout& layout,
                         const LockScreenView& view) {
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
    images.Draw(frame.Graphics(), kSlotInputBox, kDrawCachedBitmap, box.X, box.Y, 0, 0);
    const int typed = view.keys ? view.keys->Count() : 0;
    if (typed > 0)
        DrawScreenText(frame, std::string(static_cast<size_t>(typed), '*'), box.X, box.Y + layout.Px(kStarsTop),
                       layout.Px(18), layout.Px(kInputBoxWidth), layout.Px(kInputBoxHeight));
}

void DrawIcons(LayeredFrame& frame, ImageTable& images, const GridLayout& layout, int hotItem) {
    Gdiplus::Graphics* g = frame.Graphics();
    const LayoutPosition box = layout.IconBoxOrigin();
    images.Draw(g, kSlotIconBox, kDrawCachedBitmap, box.X, box.Y, 0, 0);
    for (int icon = kIconKeyboard; icon <= kIconPatternDisplay; ++icon) {
        const int slot = kSlotKeyboardIcon + (icon - kIconKeyboard);
        const LayoutEntry& e = layout.Icon(icon);
        if (icon == hotItem)
            images.Draw(g, slot, kDrawScaledImage, e.Hit.Left, e.Hit.Top, layout.Px(kIconHot), layout.Px(kIconHot));
        else
            images.Draw(g, slot, kDrawScaledImage, e.Image.Left, e.Image.Top, e.Image.Size, e.Image.Size);
    }
}

}  // namespace

namespace {

// Where the screen's texts start, from the top of the frame.
double TimeTop(const GridLayout& layout, double h) { return h / 2 - layout.PanelSize / 2.0 - 67 * layout.Scale; }
double DateTop(const GridLayout& layout, double h) { return h / 2 - layout.PanelSize / 2.0 - 37 * layout.Scale; }
double AlertTop(const GridLayout& layout, double h) { return h / 2 + layout.PanelSize / 2.0 + 20 * layout.Scale; }

bool RowsMeet(const RECT& region, double top, double height) {
    return top < region.bottom && top + height > region.top;
}

RECT Inflated(RECT rect, int by) {
    InflateRect(&rect, by, by);
    return rect;
}

RECT SquareRect(const LayoutSquare& square) {
    return RECT{square.Left, square.Top, square.Left + square.Size, square.Top + square.Size};
}

void Unite(RECT& into, const RECT& rect) {
    RECT both;
    UnionRect(&both, &into, &rect);
    into = both;
}

}  // namespace

// Texts are laid out in rectangles of the frame's width and 128 pixels of height: a text whose
// rectangle meets the region is drawn (clipped), one whose rectangle misses it cannot reach it.
void DrawPatternRegion(LayeredFrame& frame, const LockScreenView& view, bool isAction, bool isPenColor,
                       const RECT& region) {
    if (!frame.IsReady() || !view.layout || !view.images) return;
    const GridLayout& layout = *view.layout;
    ImageTable& images = *view.images;
    const double h = frame.Height();
    const bool whole = region.left <= 0 && region.top <= 0 && region.right >= frame.Width() && region.bottom >= h;
    Gdiplus::Graphics* g = frame.Graphics();
    if (whole) {
        frame.ClearFrame(kClearAlphaOne);
    } else {
        frame.ClearRect(region, kClearAlphaOne);
        g->SetClip(Gdiplus::Rect(region.left, region.top, region.right - region.left, region.bottom - region.top));
    }
    const LayoutPosition panel = layout.PanelOrigin();
    images.Draw(g, kSlotPanel, kDrawCachedBitmap, panel.X, panel.Y, 0, 0);
    constexpr double kTextHeight = 128;
    if (RowsMeet(region, TimeTop(layout, h), kTextHeight))
        DrawScreenText(frame, view.timeText, 0, TimeTop(layout, h), layout.Px(21));
    if (RowsMeet(region, DateTop(layout, h), kTextHeight))
        DrawScreenText(frame, view.dateText, 0, DateTop(layout, h), layout.Px(16));
    if (RowsMeet(region, AlertTop(layout, h), kTextHeight))
        DrawScreenText(frame, view.alertText, 0, AlertTop(layout, h), layout.Px(18));
    if (view.unlockMode == kNormalUnlockMode && isAction && view.entered)
        DrawTrail(frame, images, layout, *view.entered, isPenColor);
    else if (view.unlockMode == kDynamicPasswordMode)
        DrawDynamicPassword(frame, images, layout, view);
    DrawIcons(frame, images, layout, view.hotItem);
    if (!whole) g->ResetClip();
}

void DrawPatternScreen(LayeredFrame& frame, const LockScreenView& view, bool isAction, bool isPenColor) {
    DrawPatternRegion(frame, view, isAction, isPenColor, RECT{0, 0, frame.Width(), frame.Height()});
}

// A few pixels of margin cover anti-aliasing and the one-pixel text outline.
RECT ScreenPartRect(const GridLayout& layout, ScreenPart part, int frameWidth, int frameHeight) {
    constexpr int kMargin = 3;
    const double h = frameHeight;
    switch (part) {
    case ScreenPart::Whole: break;
    case ScreenPart::Panel: {
        const LayoutPosition origin = layout.PanelOrigin();
        RECT rect{static_cast<LONG>(origin.X), static_cast<LONG>(origin.Y),
                  static_cast<LONG>(origin.X) + layout.PanelSize, static_cast<LONG>(origin.Y) + layout.PanelSize};
        // Rings and the trail's round pen may reach past the panel's edge.
        for (int k = 1; k <= PointCount(layout); ++k) Unite(rect, SquareRect(layout.Point(k).Image));
        return Inflated(rect, static_cast<int>(kTrailPenWidth * layout.Scale / 2) + kMargin);
    }
    case ScreenPart::Clock:
        // From the top of the time to the foot of the date's line (a line is under 1.5 em).
        return RECT{0, static_cast<LONG>(TimeTop(layout, h)) - kMargin, frameWidth,
                    static_cast<LONG>(DateTop(layout, h) + 1.5 * layout.Px(16)) + kMargin};
    case ScreenPart::Icons: {
        RECT rect = SquareRect(layout.Icon(kIconKeyboard).Hit);
        for (int icon = kIconKeyboard; icon <= kIconPatternDisplay; ++icon) {
            Unite(rect, SquareRect(layout.Icon(icon).Hit));
            Unite(rect, SquareRect(layout.Icon(icon).Image));
        }
        // The box sits in the screen's bottom right corner.
        const LayoutPosition box = layout.IconBoxOrigin();
        Unite(rect, RECT{static_cast<LONG>(box.X), static_cast<LONG>(box.Y), frameWidth, frameHeight});
        return Inflated(rect, kMargin);
    }
    case ScreenPart::InputBox: {
        const LayoutPosition box = layout.InputBoxOrigin();
        return Inflated(RECT{static_cast<LONG>(box.X), static_cast<LONG>(box.Y),
                             static_cast<LONG>(box.X) + layout.Px(kInputBoxWidth),
                             static_cast<LONG>(box.Y) + layout.Px(kInputBoxHeight)},
                        kMargin);
    }
    }
    return RECT{0, 0, frameWidth, frameHeight};
}

void DrawAlertScreen(LayeredFrame& frame, ImageTable& images, const GridLayout& layout, int leftTime, bool alarmBlink) {
    if (!frame.IsReady()) return;
    const double h = frame.Height();
    frame.ClearFrame(kClearAlphaOne);
    DrawScreenText(frame, "ATTACKING WARNING!", 0, h / 2 - 180 * layout.Scale, layout.Px(21));
    const LayoutPosition shield = layout.AlarmPictureOrigin();
    images.Draw(frame.Graphics(), alarmBlink ? kSlotAlarmRed : kSlotAlarmBlue, kDrawCachedBitmap, shield.X,
                shield.Y, 0, 0);
    DrawScreenText(frame, "System is locked in " + std::to_string(leftTime) + " seconds", 0,
                   h / 2 + 150 * layout.Scale, layout.Px(18));
}
