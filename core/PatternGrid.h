// Grid geometry, hit testing, the way an entry grows, the Dynamic Password letters and the
// comparison with the secret pattern. Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ConfigData.h"

// A pixel position: on the lock window, inside the panel image or in a 320x320 pattern box.
struct LayoutPosition {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const LayoutPosition&) const = default;
};

// A square by its top-left corner and side.
struct LayoutSquare {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Size = 0;
    LayoutPosition Origin() const { return {Left, Top}; }
    bool operator==(const LayoutSquare&) const = default;
};

// One entry of the layout tables: ten 32-bit values in this order. What is set depends on the
// entry; the rest stays 0.
//   point:        Hit (34, the hit square), Image (52, the ring, centred on the same centre),
//                 Centre, Dot (the dot's corner inside the panel image)
//   small point:  Hit (36, also where its ring is drawn scaled), Centre
//   icon:         Hit (28, also where the hot image goes), Image (32, the normal image)
//   panel, alarm picture:  Hit.Origin() is where the image goes
//   icon box, input box:   Image.Origin() is where the image goes
struct LayoutEntry {
    LayoutSquare Hit;
    LayoutSquare Image;
    LayoutPosition Centre;
    LayoutPosition Dot;
    bool operator==(const LayoutEntry&) const = default;
};

constexpr int kLayoutEntries = 43;          // 0 panel, 1..N*N points, 37..39 icons, 40 icon box,
constexpr int kSmallGridEntries = 37;       // 41 input box, 42 alarm picture
constexpr int kIconKeyboard = 37;           // Dynamic Password Mode
constexpr int kIconPatternEnable = 38;      // Secure Unlock Mode
constexpr int kIconPatternDisplay = 39;     // Normal Unlock Mode
constexpr int kIconBox = 40;
constexpr int kInputBox = 41;
constexpr int kAlarmPicture = 42;
constexpr int kPointPitch = 74;
constexpr int kSmallBoxSize = 320;
// The lock screen's images at 96 DPI; on the screen they are GridLayout::Px of these.
constexpr int kRingBitmapSize = 53;
constexpr int kIconBoxWidth = 156, kIconBoxHeight = 48;
constexpr int kInputBoxWidth = 256, kInputBoxHeight = 24;
constexpr int kAlarmPictureWidth = 235, kAlarmPictureHeight = 256;
constexpr int kBaseDpi = 96;

enum UnlockModeValue { kNormalUnlockMode = 0, kSecureUnlockMode = 1, kDynamicPasswordMode = 2 };

// Everything the layout step computes for one grid and one screen size.
struct GridLayout {
    int GridSide = 3;      // N
    int PanelSize = 242;   // S = 74N + 20 at 96 DPI
    // The lock screen's pixels per 96-DPI pixel (1 at 96 DPI); the pattern boxes keep 1.
    double Scale = 1.0;
    std::array<LayoutEntry, kLayoutEntries> LayoutTable{};
    std::array<LayoutEntry, kSmallGridEntries> SmallGridTable{};

    // Point 1..N*N on the lock window / in a pattern box; an empty entry for any other number.
    const LayoutEntry& Point(int point) const;
    const LayoutEntry& SmallPoint(int point) const;
    // kIconKeyboard..kIconPatternDisplay; an empty entry for any other number.
    const LayoutEntry& Icon(int icon) const;
    LayoutPosition PanelOrigin() const { return LayoutTable[0].Hit.Origin(); }
    LayoutPosition IconBoxOrigin() const { return LayoutTable[kIconBox].Image.Origin(); }
    LayoutPosition InputBoxOrigin() const { return LayoutTable[kInputBox].Image.Origin(); }
    LayoutPosition AlarmPictureOrigin() const { return LayoutTable[kAlarmPicture].Hit.Origin(); }
    // A length of the 96-DPI lock screen on this one, rounded half to even.
    int Px(double length) const;
};

// Fills GridSide, PanelSize, LayoutTable 0..N*N and 37..42, and SmallGridTable, at 96 DPI.
void ComputeLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight);
// The same with the lock screen (LayoutTable) scaled for the screen's DPI, at most as far as
// the panel with its texts still fits; 96 DPI or less gives the table above.
void ComputeLayout(GridLayout& layout, int grid, int screenWidth, int screenHeight, int dpi);

// Left edge inclusive, top edge exclusive on the entry's Hit square: x >= L, x < L + Z, y > T, y < T + Z.
bool HitsEntry(const LayoutEntry& entry, double x, double y);
// First point 1..N*N hit on the lock window / in a 320x320 box; 0 when none.
int HitTestPoint(const GridLayout& layout, double x, double y);
int HitTestSmallPoint(const GridLayout& layout, double x, double y);
// First icon hit in the order 37, 38, 39; -1 when none.
int HitTestIcon(const GridLayout& layout, double x, double y);
// The points 1..N*N entered on the straight way from (x0, y0) to (x1, y1), in the order met,
// without the point already under (x0, y0). Pointer positions arrive as samples, and a window
// busy drawing sees them far apart: a point between two samples was still passed through.
std::vector<int> PointsAlong(const GridLayout& layout, double x0, double y0, double x1, double y1);

// An entry of point numbers in drawing order: slots 1..N*N, 0 = free (slot 0 unused).
class PatternEntry {
public:
    void Reset(int pointCount);                 // re-create with pointCount empty slots
    bool Contains(int point) const;
    bool Add(int point);                        // first free slot; false when present or full
    int Count() const;
    int Capacity() const { return static_cast<int>(slots_.size()) - 1; }
    const std::vector<int32_t>& Slots() const { return slots_; }
private:
    std::vector<int32_t> slots_ = std::vector<int32_t>(1, 0);
};

// The press/move/release rule shared by the lock window, the verify box and the pattern canvas.
// Callers hit-test the position themselves and pass the point number (0 = none).
class PatternDrag {
public:
    void Reset(int pointCount) { entry_.Reset(pointCount); drawing_ = false; lastPoint_ = -1; }
    // Empties the entry; starts drawing only when a point was hit. Returns true when the
    // pressed point was added (the caller redraws).
    bool Press(int hitPoint);
    // While drawing: adds a new point the pointer has entered. Returns true when added.
    bool Move(int hitPoint);
    // Ends drawing; returns whether a drawing was in progress (the caller then checks).
    bool Release();
    void Cancel() { entry_.Reset(entry_.Capacity()); drawing_ = false; }
    bool IsDrawing() const { return drawing_; }
    const PatternEntry& Entry() const { return entry_; }
private:
    PatternEntry entry_;
    bool drawing_ = false;
    int lastPoint_ = -1;
};

// Key codes typed in the Dynamic Password Mode: slots 1..N*N, 0 = free.
class KeyEntry {
public:
    void Reset(int slotCount);
    bool Type(uint8_t keyCode);   // false (beep) when every slot is used
    bool Backspace();             // false (beep) when nothing is typed
    int Count() const;
    const std::vector<uint8_t>& Slots() const { return slots_; }
private:
    std::vector<uint8_t> slots_ = std::vector<uint8_t>(1, 0);
};

// Letters "A".."Z" on points 1..n (index 0 unused), all different. `uniform` returns reals in
// [0, 1); the platform passes a cryptographic source, tests a scripted one.
std::vector<uint8_t> MakeRandomLetters(int n, const std::function<double()>& uniform);

// The texts compared by the check: " 5 12 3" for point numbers, "QAZ" for letters. Entries
// outside 1..N*N (a damaged file) are skipped, never used as an index.
std::string StoredPatternText(const ConfigData& config, int gridSide, int mode,
                              const std::vector<uint8_t>& pointLetters);
std::string EnteredPatternText(const PatternEntry& entry);
std::string EnteredKeysText(const KeyEntry& keys);
// Equal texts, or a stored text that is empty after TrimNull (no pattern accepts anything).
bool PatternTextsMatch(const std::string& stored, const std::string& entered);

// Consecutive wrong entries on the lock window. Returns true when the alert must run now
// (the count then starts again from 0).
class WrongCounter {
public:
    void RecordMatch() { count_ = 0; }
    // The count a previous run of the program left (kept in the registry).
    void Restore(int count) { count_ = count > 0 ? count : 0; }
    bool RecordMismatch(int32_t alertTimes, int32_t alertMode);
    int Count() const { return count_; }
private:
    int count_ = 0;
};

// A new pattern needs this many points: a short one is quickly guessed or watched. A stored
// shorter one (an older file) still unlocks.
constexpr int kMinNewPatternPoints = 4;

// Wrong entries from the first alarm on are each followed by a wait in which the lock takes no
// entry: 30 s, doubling, at most 15 minutes. Times are seconds of the wall clock, so the wait
// outlives a restart of the program; a match ends it all.
constexpr int kFirstGuessWait = 30;
constexpr int kLongestGuessWait = 15 * 60;
// The wait after the n-th wrong entry since the first alarm (n >= 1); 0 for n < 1.
int GuessWaitSeconds(int n);
class GuessThrottle {
public:
    // What a previous run kept: waits < 0 when no alarm has gone off since the last match.
    void Restore(int32_t waits, int64_t waitEnd);
    // The alarm went off: every further wrong entry waits.
    void RecordAlarm() { if (waits_ < 0) waits_ = 0; }
    // A wrong entry at `now`; the wait it starts (0 before the first alarm).
    int RecordMismatch(int64_t now);
    void RecordMatch() { waits_ = -1; waitEnd_ = 0; }
    // Seconds left of the wait at `now`; never more than the longest wait, so a clock turned
    // back cannot hold the lock for longer.
    int SecondsLeft(int64_t now) const;
    int32_t Waits() const { return waits_; }
    int64_t WaitEnd() const { return waitEnd_; }
private:
    int32_t waits_ = -1;
    int64_t waitEnd_ = 0;
};
// "Try again in 1:05" for the countdown under the panel.
std::string GuessWaitText(int seconds);

// The text the configuration canvas accepts for a new pattern: decimal numbers of all set
// entries run together; accepted when longer than one character.
bool IsResetPatternAccepted(const PatternEntry& entry);
