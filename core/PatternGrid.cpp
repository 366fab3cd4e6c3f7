// Grid geometry, hit testing, the way a drawn or typed entry grows, the Dynamic Password letters
// and the comparison of an entry with the secret pattern.
#include "core/PatternGrid.h"

#include <algorithm>
#include <cmath>

#include "system/Text.h"

namespace {

int Round(double value) { return static_cast<int>(RoundHalfEven(value)); }

constexpr int kHitSize = 34;          // hit square, centred on the point
constexpr int kRingSize = 52;         // ring image, centred on the same centre
constexpr int kPanelMargin = 30;      // panel edge to the outer hit squares
constexpr int kIconHotSize = 28;      // the icon's hit square, also where its large image goes
constexpr int kIconNormalSize = 32;
constexpr int kSmallPointSize = 36;
constexpr int kSmallMaxPitch = 72;
constexpr int kLetterCount = 26;
// What the lock screen draws around the panel at 96 DPI: the clock's top above it, the alert
// text's line below it, and the alarm screen's title above the screen's middle.
constexpr int kClockAbove = 67;
constexpr int kAlertTextBelow = 20 + 24;
constexpr int kAlarmTitleAbove = 180;

void FillIcon(const GridLayout& layout, LayoutEntry& entry, int hotLeft, int hotTop) {
    entry.Hit = {hotLeft, hotTop, layout.Px(kIconHotSize)};
    entry.Image = {hotLeft + layout.Px(1), hotTop + layout.Px(1), layout.Px(kIconNormalSize)};
}

// The DPI's scale, cut down where the screen is too small for it (a 1024 x 768 screen at 200 %)
// to the largest at which the clock and the alarm's title stay on the screen, the panel fits
// across it, and the alert text stays clear of the Dynamic Password input box (at
// h - (h - 256) / 4); never below 1, so at 96 DPI every pixel stays where it is.
double LayoutScale(int n, int w, int h, int dpi) {
    const double wanted = static_cast<double>(dpi) / kBaseDpi;
    const double halfPanel = (kPointPitch * n + 20) / 2.0;
    const double clock = h / 2.0 / (halfPanel + kClockAbove);
    const double input = h / 4.0 / (halfPanel + kAlertTextBelow - kInputBoxWidth / 4.0);
    const double alarm = h / 2.0 / kAlarmTitleAbove;
    const double across = w / (2 * halfPanel + 2 * kPanelMargin);
    return std::max(1.0, std::min({wanted, clock, input, alarm, across}));
}

// The 320x320 boxes: the pitch that spreads the points over the box, but never wider than
// 72 so a 3x3 grid does not look scattered; the grid is then centred.
void FillSmallGridTable(GridLayout& layout, int n) {
    const int pitch = std::min(Round((272.0 - kSmallPointSize * n) / (n - 1) + kSmallPointSize), kSmallMaxPitch);
    const int offset = Round((284.0 - pitch * (n - 1)) / 2.0);
    for (int k = 1; k <= n * n; ++k) {
        LayoutEntry& e = layout.SmallGridTable[k];
        e.Hit = {offset + pitch * ((k - 1) % n), offset + pitch * ((k - 1) / n), kSmallPointSize};
        e.Centre = {e.Hit.Left + kSmallPointSize / 2, e.Hit.Top + kSmallPointSize / 2};
    }
}

void BuildLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight, double scale);

const LayoutEntry kNoEntry{};

template <std::size_t Size>
const LayoutEntry& EntryIn(const std::array<LayoutEntry, Size>& table, int index, int first, int last) {
    return index >= first && index <= last ? table[static_cast<std::size_t>(index)] : kNoEntry;
}

// First entry of `first`..`last` the position hits, or 0.
template <std::size_t Size>
int FirstHit(const std::array<LayoutEntry, Size>& table, int first, int last, double x, double y) {
    for (int k = first; k <= last; ++k) {
        if (HitsEntry(table[k], x, y)) return k;
    }
    return 0;
}

int PointCount(const GridLayout& layout) {
    // GridSide only ever comes from ComputeLayout, but a default-constructed or damaged layout must
    // not make the hit tests run past the tables.
    const int side = std::clamp(layout.GridSide, 0, 6);
    return std::min(side * side, kSmallGridEntries - 1);
}

void AppendNumber(std::string& text, int32_t number) {
    // The blank in front keeps " 1 12" and " 11 2" apart.
    text += ' ';
    text += std::to_string(number);
}

}  // namespace

void ComputeLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight) {
    BuildLayout(layout, grid, screenWidth, screenHeight, 1.0);
}

void ComputeLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight, int dpi) {
    BuildLayout(layout, grid, screenWidth, screenHeight,
                LayoutScale(GridSideOf(grid), screenWidth, screenHeight, dpi));
}

int GridLayout::Px(double length) const { return Round(length * Scale); }

namespace {

// Every length of the lock screen is Px of its 96-DPI length; the panel is built from the scaled
// pitch, margin and hit square, so its points stay symmetric.
void BuildLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight, double scale) {
    const int n = GridSideOf(grid);
    const int w = screenWidth;
    const int h = screenHeight;
    layout = GridLayout{};
    layout.GridSide = n;
    layout.Scale = scale;
    const int pitch = layout.Px(kPointPitch);
    const int margin = layout.Px(kPanelMargin);
    const int hit = layout.Px(kHitSize);
    const int ring = layout.Px(kRingSize);
    layout.PanelSize = 2 * margin + pitch * (n - 1) + hit;
    const int s = layout.PanelSize;

    const int x0 = Round((w - s) / 2.0);
    const int y0 = Round((h - s) / 2.0);
    layout.LayoutTable[0].Hit.Left = x0;
    layout.LayoutTable[0].Hit.Top = y0;

    for (int k = 1; k <= n * n; ++k) {
        const int dx = pitch * ((k - 1) % n);
        const int dy = pitch * ((k - 1) / n);
        LayoutEntry& e = layout.LayoutTable[k];
        e.Hit = {x0 + dx + margin, y0 + dy + margin, hit};
        e.Image = {e.Hit.Left - (ring - hit) / 2, e.Hit.Top - (ring - hit) / 2, ring};
        e.Centre = {e.Hit.Left + hit / 2, e.Hit.Top + hit / 2};
        e.Dot = {dx + margin, dy + margin};  // inside the panel image, for drawing the dots once
    }

    // The icons sit in the bottom-right corner, 47 pixels apart.
    const int iconTop = h - layout.Px(101);
    FillIcon(layout, layout.LayoutTable[kIconKeyboard], w - layout.Px(88), iconTop);
    FillIcon(layout, layout.LayoutTable[kIconPatternEnable], w - layout.Px(135), iconTop);
    FillIcon(layout, layout.LayoutTable[kIconPatternDisplay], w - layout.Px(182), iconTop);
    layout.LayoutTable[kIconBox].Image.Left = w - layout.Px(196);
    layout.LayoutTable[kIconBox].Image.Top = h - layout.Px(108);
    const int input = layout.Px(kInputBoxWidth);
    layout.LayoutTable[kInputBox].Image.Left = Round((w - input) / 2.0);
    layout.LayoutTable[kInputBox].Image.Top = Round(h - (h - input) / 4.0);
    layout.LayoutTable[kAlarmPicture].Hit.Left = Round((w - layout.Px(kAlarmPictureWidth)) / 2.0);
    layout.LayoutTable[kAlarmPicture].Hit.Top = Round((h - layout.Px(kAlarmPictureHeight)) / 2.0);
    FillSmallGridTable(layout, n);
}

}  // namespace

bool HitsEntry(const LayoutEntry& entry, double x, double y) {
    // Left inclusive but top exclusive. The asymmetry is deliberate and shared by the lock window
    // and both pattern boxes, so a stroke that grazes an edge counts the same everywhere.
    const double left = entry.Hit.Left, top = entry.Hit.Top, size = entry.Hit.Size;
    return x >= left && x < left + size && y > top && y < top + size;
}

const LayoutEntry& GridLayout::Point(int point) const {
    return EntryIn(LayoutTable, point, 1, PointCount(*this));
}

const LayoutEntry& GridLayout::SmallPoint(int point) const {
    return EntryIn(SmallGridTable, point, 1, PointCount(*this));
}

const LayoutEntry& GridLayout::Icon(int icon) const {
    return EntryIn(LayoutTable, icon, kIconKeyboard, kIconPatternDisplay);
}

int HitTestPoint(const GridLayout& layout, double x, double y) {
    return FirstHit(layout.LayoutTable, 1, PointCount(layout), x, y);
}

int HitTestSmallPoint(const GridLayout& layout, double x, double y) {
    return FirstHit(layout.SmallGridTable, 1, PointCount(layout), x, y);
}

int HitTestIcon(const GridLayout& layout, double x, double y) {
    const int hit = FirstHit(layout.LayoutTable, kIconKeyboard, kIconPatternDisplay, x, y);
    return hit == 0 ? -1 : hit;
}

std::vector<int> PointsAlong(const GridLayout& layout, double x0, double y0, double x1, double y1) {
    // Samples a pixel apart: hit squares are tens of pixels wide, so none is stepped over.
    constexpr double kStepPixels = 1.0;
    const double length = std::hypot(x1 - x0, y1 - y0);
    // A jump across the whole screen is a few thousand steps; anything longer is not a pointer.
    const int steps = static_cast<int>(std::min(std::ceil(length / kStepPixels), 20000.0));
    std::vector<int> points;
    int last = HitTestPoint(layout, x0, y0);
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const int hit = HitTestPoint(layout, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t);
        if (hit > 0 && hit != last) points.push_back(hit);
        last = hit;
    }
    return points;
}

void PatternEntry::Reset(int pointCount) {
    slots_.assign(static_cast<std::size_t>(std::max(pointCount, 0)) + 1, 0);
}

bool PatternEntry::Contains(int point) const {
    return point != 0 && std::find(slots_.begin() + 1, slots_.end(), point) != slots_.end();
}

bool PatternEntry::Add(int point) {
    if (point < 1 || point > Capacity() || Contains(point)) return false;
    const auto freeSlot = std::find(slots_.begin() + 1, slots_.end(), 0);
    if (freeSlot == slots_.end()) return false;
    *freeSlot = point;
    return true;
}

int PatternEntry::Count() const {
    return static_cast<int>(std::count_if(slots_.begin() + 1, slots_.end(), [](int32_t v) { return v != 0; }));
}

bool PatternDrag::Press(int hitPoint) {
    // Every press throws the previous entry away, even one that starts nothing.
    entry_.Reset(entry_.Capacity());
    if (hitPoint <= 0) {
        drawing_ = false;
        return false;
    }
    drawing_ = true;
    lastPoint_ = -1;
    return Move(hitPoint);
}

bool PatternDrag::Move(int hitPoint) {
    if (!drawing_ || hitPoint <= 0 || hitPoint == lastPoint_) return false;
    // Remember the point even when it is already taken, so wobbling on it adds nothing.
    lastPoint_ = hitPoint;
    return entry_.Add(hitPoint);
}

bool PatternDrag::Release() {
    const bool wasDrawing = drawing_;
    drawing_ = false;
    return wasDrawing;
}

void KeyEntry::Reset(int slotCount) {
    slots_.assign(static_cast<std::size_t>(std::max(slotCount, 0)) + 1, 0);
}

bool KeyEntry::Type(uint8_t keyCode) {
    if (keyCode == 0) return false;  // 0 marks a free slot and cannot be stored
    const auto freeSlot = std::find(slots_.begin() + 1, slots_.end(), 0);
    if (freeSlot == slots_.end()) return false;
    *freeSlot = keyCode;
    return true;
}

bool KeyEntry::Backspace() {
    for (std::size_t i = slots_.size() - 1; i >= 1; --i) {
        if (slots_[i] != 0) {
            slots_[i] = 0;
            return true;
        }
    }
    return false;
}

int KeyEntry::Count() const {
    return static_cast<int>(std::count_if(slots_.begin() + 1, slots_.end(), [](uint8_t v) { return v != 0; }));
}

std::vector<uint8_t> MakeRandomLetters(int n, const std::function<double()>& uniform) {
    // More points than letters would make the free-letter walk below endless.
    n = std::clamp(n, 0, kLetterCount);
    std::vector<uint8_t> letters(static_cast<std::size_t>(n) + 1, 0);
    std::array<bool, kLetterCount> used{};
    auto draw = [&uniform](int scale) {
        double u = uniform ? uniform() : 0.0;
        if (!(u >= 0.0)) u = 0.0;  // also catches NaN
        if (u > 1.0) u = 1.0;
        return Round(scale * u);
    };
    for (int i = 1; i <= n; ++i) {
        const int b = draw(5);
        const int c = draw(9);
        int start = 'A' + b * c;  // skewed towards the front of the alphabet, folded back once
        if (start > 'Z') start -= kLetterCount;
        int letter = start - 'A';
        while (used[letter]) letter = (letter + 1) % kLetterCount;
        used[letter] = true;
        letters[i] = static_cast<uint8_t>('A' + letter);
    }
    return letters;
}

std::string StoredPatternText(const ConfigData& config, int gridSide, int mode,
                              const std::vector<uint8_t>& pointLetters) {
    const int side = std::clamp(gridSide, 0, 6);
    const int points = std::min(side * side, kSecretPatternEntries - 1);
    std::string text;
    for (int i = 1; i <= points; ++i) {
        const int32_t point = config.SecretPattern[i];
        if (point < 1 || point > points) continue;
        if (mode == kDynamicPasswordMode) {
            if (static_cast<std::size_t>(point) >= pointLetters.size() || pointLetters[point] == 0) continue;
            text += static_cast<char>(pointLetters[point]);
        } else {
            AppendNumber(text, point);
        }
    }
    return text;
}

std::string EnteredPatternText(const PatternEntry& entry) {
    std::string text;
    const auto& slots = entry.Slots();
    for (std::size_t i = 1; i < slots.size(); ++i) {
        if (slots[i] != 0) AppendNumber(text, slots[i]);
    }
    return text;
}

std::string EnteredKeysText(const KeyEntry& keys) {
    std::string text;
    const auto& slots = keys.Slots();
    for (std::size_t i = 1; i < slots.size(); ++i) {
        if (slots[i] != 0) text += static_cast<char>(slots[i]);
    }
    return text;
}

bool PatternTextsMatch(const std::string& stored, const std::string& entered) {
    // A record without any point must not lock the user out for good.
    return stored == entered || TrimNull(stored).empty();
}

bool WrongCounter::RecordMismatch(int32_t alertTimes, int32_t alertMode) {
    if (alertTimes <= 0 || alertMode <= 0) return false;
    if (++count_ < alertTimes) return false;
    count_ = 0;
    return true;
}

int GuessWaitSeconds(int n) {
    if (n < 1) return 0;
    int wait = kFirstGuessWait;
    for (int i = 1; i < n && wait < kLongestGuessWait; ++i) wait *= 2;
    return std::min(wait, kLongestGuessWait);
}

void GuessThrottle::Restore(int32_t waits, int64_t waitEnd) {
    waits_ = waits < 0 ? -1 : waits;
    waitEnd_ = waits_ < 0 ? 0 : waitEnd;
}

int GuessThrottle::RecordMismatch(int64_t now) {
    if (waits_ < 0) return 0;
    if (waits_ < INT32_MAX) ++waits_;
    const int wait = GuessWaitSeconds(waits_);
    waitEnd_ = now + wait;
    return wait;
}

int GuessThrottle::SecondsLeft(int64_t now) const {
    if (waits_ < 0 || waitEnd_ <= now) return 0;
    return static_cast<int>(std::min<int64_t>(waitEnd_ - now, kLongestGuessWait));
}

std::string GuessWaitText(int seconds) {
    const int s = std::max(seconds, 0);
    const std::string rest = std::to_string(s % 60);
    return "Try again in " + std::to_string(s / 60) + ":" + (rest.size() < 2 ? "0" + rest : rest);
}

bool IsResetPatternAccepted(const PatternEntry& entry) {
    std::string digits;
    const auto& slots = entry.Slots();
    for (std::size_t i = 1; i < slots.size(); ++i) {
        if (slots[i] != 0) digits += std::to_string(slots[i]);
    }
    // Longer than one character: a lone point 1..9 is too easy to hit by accident.
    return digits.size() > 1;
}
