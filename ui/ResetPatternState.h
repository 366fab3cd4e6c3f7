// The course of a new pattern on the configuration dialog's canvas (ready, drawing, accepted
// or refused), the sequence the canvas shows, and the bitmap file of a pattern backup.
// Pure: no platform headers, unit-tested natively.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ConfigData.h"
#include "core/PatternGrid.h"

// TooShort: a pattern the check would take but with fewer than kMinNewPatternPoints points.
enum class ResetOutcome { None, Accepted, Refused, TooShort };

class ResetPatternState {
public:
    // ResetPoints re-created empty for pointCount points; the ready state is kept (the dialog
    // load and a grid change both come through here).
    void Recreate(int pointCount);
    // "Reset Pattern": ready to draw on an empty grid.
    void StartReset(int pointCount);
    // "Backup Pattern" ends a pending entry.
    void StopResetting();

    // Hit points (0 = none). Press and Move return true when a point was added (redraw).
    bool Press(int hitPoint);
    bool Move(int hitPoint);
    // Ends an entry. Accepted: `points` receives the entries 1..N*N that were drawn. After
    // either outcome the canvas is idle again with ResetPoints empty.
    ResetOutcome Release(std::vector<int32_t>& points);

    bool IsResetting() const { return isResetting_; }
    bool IsDrawing() const { return drag_.IsDrawing(); }
    const PatternEntry& ResetPoints() const { return drag_.Entry(); }

private:
    PatternDrag drag_;
    bool isResetting_ = false;
};

// The point numbers to show from entries 1..count of a pattern array, in index order, free
// entries skipped. Numbers outside 1..gridSide*gridSide (only a damaged file holds them) are
// left out, so lines join the remaining points and the order numbers have no gaps.
std::vector<int> ShownSequence(const int32_t* entries, int count, int gridSide);

// The accepted entry replaces SecretPattern entries 1..N*N; entries above N*N stay as they are.
void StoreResetPattern(ConfigData& config, const std::vector<int32_t>& points, int gridSide);

// A Windows bitmap file (24 bits per pixel, bottom-up rows padded to 4 bytes) of top-down
// 0x00RRGGBB pixels. Empty when the sizes do not match the pixel count.
std::vector<uint8_t> EncodeBitmapFile(const std::vector<uint32_t>& pixels, int width, int height);
