// The settings record and its 569-byte file image: field layout, encode/decode, the first-run
// defaults and the built-in default patterns. Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

constexpr std::size_t kConfigFileSize = 569;
constexpr int32_t kConfigFileMark = 20001;
constexpr int kSecretPatternEntries = 37;       // entries 0..36; entry 0 unused
constexpr std::size_t kBackgroundImageChars = 256;
constexpr std::size_t kAlertWordChars = 128;
constexpr int kMaxGrid = 2;                     // 0 = 3x3, 1 = 4x4, 2 = 5x5

inline constexpr const char kDefaultAlertWord[] = "Do not touch my computer!";

// Field order is the file order. Booleans stored in the file keep their 16-bit 0 / -1 form.
struct ConfigData {
    uint8_t Grid = 0;
    uint8_t Reserved = 0;
    int32_t AutoHideTime = 0;
    int32_t AutoLockTime = 0;
    int32_t MonitorOffTime = 0;
    int32_t AlertTimes = 0;
    int32_t AlertMode = 0;
    int16_t AutoStartLock = 0;
    std::array<int32_t, kSecretPatternEntries> SecretPattern{};
    std::array<char, kBackgroundImageChars> BackgroundImage{};
    int16_t LockKeyboard = 0;
    std::array<char, kAlertWordChars> AlertWord{};
    int16_t Effect = 0;
    int16_t Disconnection = 0;
    int16_t TransparentBackground = 0;
    uint8_t UnlockMode = 0;
    int32_t FileMark = 0;

    bool operator==(const ConfigData&) const = default;
};

// The one reading of the transparent switch: any value but 0 is on. A file written by hand (or
// damaged) may hold -1 or another number, and every part of the lock must then agree: the cover
// that lets the desktop through must never hide the taskbar behind it.
inline bool IsTransparentBackground(const ConfigData& config) { return config.TransparentBackground != 0; }

using ConfigBytes = std::array<uint8_t, kConfigFileSize>;

// Byte offsets of every field in the file image (checked against each other at compile time).
namespace ConfigOffset {
constexpr std::size_t Grid = 0, Reserved = 1, AutoHideTime = 2, AutoLockTime = 6, MonitorOffTime = 10,
                      AlertTimes = 14, AlertMode = 18, AutoStartLock = 22, SecretPattern = 24,
                      BackgroundImage = 172, LockKeyboard = 428, AlertWord = 430, Effect = 558,
                      Disconnection = 560, TransparentBackground = 562, UnlockMode = 564, FileMark = 565;
}

// Little-endian file image of the record, and back. Decoding never fails: any 569 bytes give a
// record (validation is the loader's job).
ConfigBytes EncodeConfig(const ConfigData& config);
ConfigData DecodeConfig(const ConfigBytes& bytes);

// The loader's acceptance rule applied to a freshly decoded record: a Grid above 2 becomes 0,
// then the record is accepted only when FileMark is 20001.
bool NormalizeLoadedConfig(ConfigData& config);

// The loader's whole rule on the bytes read from the file, of which only the first 569 count:
// the record is overwritten with them (the bytes a short file lacks as zeros) and normalised,
// and it is accepted only when the file holds all 569 bytes and FileMark is 20001.
bool LoadConfigImage(std::span<const uint8_t> bytes, ConfigData& config);

// First-run defaults (only the fields the defaults cover) and the grid's default pattern.
void ApplyDefaultConfig(ConfigData& config);
void SetDefaultPattern(ConfigData& config);
// Whether the secret is the grid's built-in default, which is the same on every computer: the
// points the check compares (entries 1..N*N within 1..N*N, in index order) are its points.
bool IsDefaultPattern(const ConfigData& config);
// What the configuration dialog's pattern pane and the balloon at start say meanwhile.
inline constexpr char kDefaultPatternNote[] =
    "This is the default pattern. Anyone who knows it can unlock: draw your own.";

// Grid side N for a Grid value; an out-of-range Grid (only a damaged record holds one) is
// treated as 3x3 so no table is ever indexed beyond its size.
int GridSideOf(int grid);

// Fixed-length text fields: assignment pads with blanks; reading applies TrimNull.
void SetFixedText(std::array<char, kBackgroundImageChars>& field, std::string_view text);
void SetFixedText(std::array<char, kAlertWordChars>& field, std::string_view text);
std::string ReadFixedText(const char* field, std::size_t size);
template <std::size_t N>
std::string ReadFixedText(const std::array<char, N>& field) { return ReadFixedText(field.data(), N); }

// The 16 entries of the time lists: seconds <-> list index ("Never" = 0 for anything unknown).
int TimeListIndexOf(int32_t seconds);
int32_t TimeListSeconds(int index);
