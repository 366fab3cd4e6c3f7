// The pattern canvas's entry rules on top of the shared PatternDrag, and the backup file format.
#include "ui/ResetPatternState.h"

#include <algorithm>

void ResetPatternState::Recreate(int pointCount) {
    drag_.Reset(pointCount);
}

void ResetPatternState::StartReset(int pointCount) {
    isResetting_ = true;
    drag_.Reset(pointCount);
}

void ResetPatternState::StopResetting() {
    isResetting_ = false;
    drag_.Cancel();
}

// A second button pressed during a drag continues the entry instead of throwing it away:
// only the press that starts drawing begins a new one.
bool ResetPatternState::Press(int hitPoint) {
    if (!isResetting_) return false;
    if (drag_.IsDrawing()) return drag_.Move(hitPoint);
    if (hitPoint <= 0) return false;   // a miss leaves the ready canvas as it is
    return drag_.Press(hitPoint);
}

bool ResetPatternState::Move(int hitPoint) {
    if (!isResetting_) return false;
    return drag_.Move(hitPoint);
}

ResetOutcome ResetPatternState::Release(std::vector<int32_t>& points) {
    if (!isResetting_ || !drag_.IsDrawing()) return ResetOutcome::None;
    drag_.Release();
    const bool accepted = IsResetPatternAccepted(drag_.Entry());
    const bool longEnough = drag_.Entry().Count() >= kMinNewPatternPoints;
    if (accepted && longEnough) points = drag_.Entry().Slots();
    isResetting_ = false;
    drag_.Reset(drag_.Entry().Capacity());
    if (!accepted) return ResetOutcome::Refused;
    return longEnough ? ResetOutcome::Accepted : ResetOutcome::TooShort;
}

std::vector<int> ShownSequence(const int32_t* entries, int count, int gridSide) {
    std::vector<int> sequence;
    if (!entries) return sequence;
    const int last = gridSide * gridSide;
    for (int i = 1; i <= count; ++i) {
        if (entries[i] >= 1 && entries[i] <= last) sequence.push_back(entries[i]);
    }
    return sequence;
}

void StoreResetPattern(ConfigData& config, const std::vector<int32_t>& points, int gridSide) {
    const int last = std::min(gridSide * gridSide, kSecretPatternEntries - 1);
    for (int i = 1; i <= last; ++i) {
        config.SecretPattern[i] = i < static_cast<int>(points.size()) ? points[i] : 0;
    }
}

namespace {
void PutLittleEndian(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

std::vector<uint8_t> EncodeBitmapFile(const std::vector<uint32_t>& pixels, int width, int height) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<size_t>(width) * height) return {};
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t headerBytes = 14 + 40;
    std::vector<uint8_t> file(headerBytes + rowBytes * height, 0);
    file[0] = 'B';
    file[1] = 'M';
    PutLittleEndian(file, 2, static_cast<uint32_t>(file.size()), 4);
    PutLittleEndian(file, 10, static_cast<uint32_t>(headerBytes), 4);
    PutLittleEndian(file, 14, 40, 4);
    PutLittleEndian(file, 18, static_cast<uint32_t>(width), 4);
    PutLittleEndian(file, 22, static_cast<uint32_t>(height), 4);   // positive: bottom-up rows
    PutLittleEndian(file, 26, 1, 2);
    PutLittleEndian(file, 28, 24, 2);
    PutLittleEndian(file, 34, static_cast<uint32_t>(rowBytes * height), 4);
    PutLittleEndian(file, 38, 2835, 4);   // 72 dpi
    PutLittleEndian(file, 42, 2835, 4);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = file.data() + headerBytes + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            row[3 * x] = static_cast<uint8_t>(p);
            row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(p >> 16);
        }
    }
    return file;
}
