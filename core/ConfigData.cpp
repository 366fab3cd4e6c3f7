// The settings record: its 569-byte little-endian file image, the loader's acceptance rule, the
// first-run defaults and the built-in default patterns.
#include "core/ConfigData.h"

#include <algorithm>
#include <iterator>

#include "system/Text.h"

namespace {

// Each field must start where the previous one ends and the record must fill the file exactly;
// a slip in the offset table would silently shift every later field in users' files.
namespace Off = ConfigOffset;
static_assert(Off::Grid == 0);
static_assert(Off::Reserved == Off::Grid + 1);
static_assert(Off::AutoHideTime == Off::Reserved + 1);
static_assert(Off::AutoLockTime == Off::AutoHideTime + 4);
static_assert(Off::MonitorOffTime == Off::AutoLockTime + 4);
static_assert(Off::AlertTimes == Off::MonitorOffTime + 4);
static_assert(Off::AlertMode == Off::AlertTimes + 4);
static_assert(Off::AutoStartLock == Off::AlertMode + 4);
static_assert(Off::SecretPattern == Off::AutoStartLock + 2);
static_assert(Off::BackgroundImage == Off::SecretPattern + 4 * kSecretPatternEntries);
static_assert(Off::LockKeyboard == Off::BackgroundImage + kBackgroundImageChars);
static_assert(Off::AlertWord == Off::LockKeyboard + 2);
static_assert(Off::Effect == Off::AlertWord + kAlertWordChars);
static_assert(Off::Disconnection == Off::Effect + 2);
static_assert(Off::TransparentBackground == Off::Disconnection + 2);
static_assert(Off::UnlockMode == Off::TransparentBackground + 2);
static_assert(Off::FileMark == Off::UnlockMode + 1);
static_assert(Off::FileMark + 4 == kConfigFileSize);

// Byte by byte rather than memcpy of the struct: the struct has padding and the host's byte
// order is not the file's.
void Put8(ConfigBytes& b, std::size_t at, uint8_t v) { b[at] = v; }
void Put16(ConfigBytes& b, std::size_t at, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    b[at] = static_cast<uint8_t>(u & 0xFF);
    b[at + 1] = static_cast<uint8_t>(u >> 8);
}
void Put32(ConfigBytes& b, std::size_t at, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>((u >> (8 * i)) & 0xFF);
}
template <std::size_t N>
void PutText(ConfigBytes& b, std::size_t at, const std::array<char, N>& text) {
    for (std::size_t i = 0; i < N; ++i) b[at + i] = static_cast<uint8_t>(text[i]);
}

uint8_t Get8(const ConfigBytes& b, std::size_t at) { return b[at]; }
int16_t Get16(const ConfigBytes& b, std::size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(b[at] | (b[at + 1] << 8)));
}
int32_t Get32(const ConfigBytes& b, std::size_t at) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(b[at + i]) << (8 * i);
    return static_cast<int32_t>(u);
}
template <std::size_t N>
void GetText(const ConfigBytes& b, std::size_t at, std::array<char, N>& text) {
    for (std::size_t i = 0; i < N; ++i) text[i] = static_cast<char>(b[at + i]);
}

// The built-in default patterns: a "Z" on every grid (top row, the anti-diagonal, bottom row),
// which is easy to draw in one stroke and touches 3N - 2 points: 7, 10 and 13.
constexpr int32_t kDefault3x3[] = {1, 2, 3, 5, 7, 8, 9};
constexpr int32_t kDefault4x4[] = {1, 2, 3, 4, 7, 10, 13, 14, 15, 16};
constexpr int32_t kDefault5x5[] = {1, 2, 3, 4, 5, 9, 13, 17, 21, 22, 23, 24, 25};

constexpr int32_t kTimeList[] = {0,    60,   120,  180,  240,  300,  600,   900,
                                 1200, 1500, 1800, 2700, 3600, 7200, 10800, 18000};

template <std::size_t N>
void WritePattern(ConfigData& config, const int32_t (&points)[N]) {
    static_assert(static_cast<int>(N) < kSecretPatternEntries);
    for (std::size_t i = 0; i < N; ++i) config.SecretPattern[i + 1] = points[i];
}

}  // namespace

ConfigBytes EncodeConfig(const ConfigData& config) {
    ConfigBytes b{};
    Put8(b, Off::Grid, config.Grid);
    Put8(b, Off::Reserved, config.Reserved);
    Put32(b, Off::AutoHideTime, config.AutoHideTime);
    Put32(b, Off::AutoLockTime, config.AutoLockTime);
    Put32(b, Off::MonitorOffTime, config.MonitorOffTime);
    Put32(b, Off::AlertTimes, config.AlertTimes);
    Put32(b, Off::AlertMode, config.AlertMode);
    Put16(b, Off::AutoStartLock, config.AutoStartLock);
    for (int i = 0; i < kSecretPatternEntries; ++i)
        Put32(b, Off::SecretPattern + 4 * static_cast<std::size_t>(i), config.SecretPattern[i]);
    PutText(b, Off::BackgroundImage, config.BackgroundImage);
    Put16(b, Off::LockKeyboard, config.LockKeyboard);
    PutText(b, Off::AlertWord, config.AlertWord);
    Put16(b, Off::Effect, config.Effect);
    Put16(b, Off::Disconnection, config.Disconnection);
    Put16(b, Off::TransparentBackground, config.TransparentBackground);
    Put8(b, Off::UnlockMode, config.UnlockMode);
    Put32(b, Off::FileMark, config.FileMark);
    return b;
}

ConfigData DecodeConfig(const ConfigBytes& b) {
    ConfigData config;
    config.Grid = Get8(b, Off::Grid);
    config.Reserved = Get8(b, Off::Reserved);
    config.AutoHideTime = Get32(b, Off::AutoHideTime);
    config.AutoLockTime = Get32(b, Off::AutoLockTime);
    config.MonitorOffTime = Get32(b, Off::MonitorOffTime);
    config.AlertTimes = Get32(b, Off::AlertTimes);
    config.AlertMode = Get32(b, Off::AlertMode);
    config.AutoStartLock = Get16(b, Off::AutoStartLock);
    for (int i = 0; i < kSecretPatternEntries; ++i)
        config.SecretPattern[i] = Get32(b, Off::SecretPattern + 4 * static_cast<std::size_t>(i));
    GetText(b, Off::BackgroundImage, config.BackgroundImage);
    config.LockKeyboard = Get16(b, Off::LockKeyboard);
    GetText(b, Off::AlertWord, config.AlertWord);
    config.Effect = Get16(b, Off::Effect);
    config.Disconnection = Get16(b, Off::Disconnection);
    config.TransparentBackground = Get16(b, Off::TransparentBackground);
    config.UnlockMode = Get8(b, Off::UnlockMode);
    config.FileMark = Get32(b, Off::FileMark);
    return config;
}

bool NormalizeLoadedConfig(ConfigData& config) {
    // The grid is repaired before the mark is tested, so even a rejected record never carries a
    // grid that would index the layout tables out of range.
    if (config.Grid > kMaxGrid) config.Grid = 0;
    return config.FileMark == kConfigFileMark;
}

bool LoadConfigImage(std::span<const uint8_t> bytes, ConfigData& config) {
    ConfigBytes image{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), image.size()), image.begin());
    config = DecodeConfig(image);
    const bool markAccepted = NormalizeLoadedConfig(config);
    // A file cut after 567 or 568 bytes would still show 20001 (the mark's high bytes are
    // zero), so a short file is rejected by its length, not by luck.
    return markAccepted && bytes.size() >= kConfigFileSize;
}

void ApplyDefaultConfig(ConfigData& config) {
    // The picture, keyboard, dial-up, transparency and unlock-mode choices are left alone: after
    // a rejected file the user keeps what could still be read.
    config.Grid = 0;
    config.AutoHideTime = 60;
    config.MonitorOffTime = 300;
    config.AutoLockTime = 180;
    config.AutoStartLock = 0;
    config.AlertTimes = 3;
    config.AlertMode = 1;
    SetFixedText(config.AlertWord, kDefaultAlertWord);
    config.Effect = 1;
}

void SetDefaultPattern(ConfigData& config) {
    std::fill(config.SecretPattern.begin() + 1, config.SecretPattern.end(), 0);
    switch (config.Grid) {
    case 0: WritePattern(config, kDefault3x3); break;
    case 1: WritePattern(config, kDefault4x4); break;
    case 2: WritePattern(config, kDefault5x5); break;
    default: break;  // only a damaged record holds another grid value; it gets no pattern
    }
}

bool IsDefaultPattern(const ConfigData& config) {
    if (config.Grid > kMaxGrid) return false;   // no default for a damaged grid value
    ConfigData fresh = config;
    SetDefaultPattern(fresh);
    const int points = GridSideOf(config.Grid) * GridSideOf(config.Grid);
    auto compared = [points](const ConfigData& c) {
        std::string sequence;
        for (int i = 1; i <= points; ++i)
            if (c.SecretPattern[i] >= 1 && c.SecretPattern[i] <= points) sequence += static_cast<char>(c.SecretPattern[i]);
        return sequence;
    };
    return compared(config) == compared(fresh);
}

int GridSideOf(int grid) {
    return (grid >= 0 && grid <= kMaxGrid) ? grid + 3 : 3;
}

void SetFixedText(std::array<char, kBackgroundImageChars>& field, std::string_view text) {
    const std::string padded = PadFixedText(text, field.size());
    std::copy(padded.begin(), padded.end(), field.begin());
}

void SetFixedText(std::array<char, kAlertWordChars>& field, std::string_view text) {
    const std::string padded = PadFixedText(text, field.size());
    std::copy(padded.begin(), padded.end(), field.begin());
}

std::string ReadFixedText(const char* field, std::size_t size) {
    return TrimNull(std::string_view(field, size));
}

int TimeListIndexOf(int32_t seconds) {
    const auto* found = std::find(std::begin(kTimeList), std::end(kTimeList), seconds);
    // A value the list does not offer (a hand-edited file) shows as "Never".
    return found == std::end(kTimeList) ? 0 : static_cast<int>(found - std::begin(kTimeList));
}

int32_t TimeListSeconds(int index) {
    constexpr int kCount = static_cast<int>(std::size(kTimeList));
    return (index >= 0 && index < kCount) ? kTimeList[index] : 0;
}
