// Fuzz target: the settings loader fed with arbitrary file contents of any length. Checks the
// acceptance rule, that the record is exactly the file's bytes (Grid repaired), that a saved
// record loads back unchanged, and that everything read from a loaded record stays in range.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "core/ConfigData.h"
#include "core/PatternGrid.h"

namespace {

void CheckFixedText(const std::string& text, std::size_t width) {
    FUZZ_CHECK(text.size() <= width);
    FUZZ_CHECK(text.find('\0') == std::string::npos);
    FUZZ_CHECK(text.empty() || (text.front() != ' ' && text.back() != ' '));
}

// What the lock window and the dialogs read from a record that the loader let through.
void ReadLikeTheProgram(const ConfigData& config) {
    CheckFixedText(ReadFixedText(config.AlertWord), kAlertWordChars);
    CheckFixedText(ReadFixedText(config.BackgroundImage), kBackgroundImageChars);
    for (const int32_t seconds : {config.AutoHideTime, config.AutoLockTime, config.MonitorOffTime}) {
        const int index = TimeListIndexOf(seconds);
        FUZZ_CHECK(index >= 0 && index < 16);
        FUZZ_CHECK(index == 0 || TimeListSeconds(index) == seconds);
    }

    GridLayout layout;
    ComputeLayout(layout, config.Grid, 1366, 768);
    const int points = layout.GridSide * layout.GridSide;
    FUZZ_CHECK(layout.GridSide == config.Grid + 3);
    const std::vector<uint8_t> letters = MakeRandomLetters(points, [] { return 0.5; });
    for (int mode = 0; mode <= 3; ++mode) {
        const std::string stored = StoredPatternText(config, layout.GridSide, mode, letters);
        // At most one entry per point, each " k" (up to 3 characters) or one letter.
        FUZZ_CHECK(stored.size() <= static_cast<std::size_t>(points) * (mode == kDynamicPasswordMode ? 1 : 3));
        for (const char ch : stored) {
            if (mode == kDynamicPasswordMode) FUZZ_CHECK(ch >= 'A' && ch <= 'Z');
            else FUZZ_CHECK(ch == ' ' || (ch >= '0' && ch <= '9'));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::span<const uint8_t> file(data, size);
    ConfigData config;
    config.Grid = 200;  // whatever the record held before is overwritten
    const bool accepted = LoadConfigImage(file, config);

    const bool complete = size >= kConfigFileSize;
    const bool marked = complete && data[565] == 0x21 && data[566] == 0x4E && data[567] == 0 && data[568] == 0;
    FUZZ_CHECK(accepted == marked);
    FUZZ_CHECK(config.Grid <= kMaxGrid);

    // The record is the file's first 569 bytes (zeros where a short file ends), Grid repaired.
    const ConfigBytes image = EncodeConfig(config);
    for (std::size_t i = 0; i < kConfigFileSize; ++i) {
        uint8_t expected = i < size ? data[i] : 0;
        if (i == ConfigOffset::Grid && expected > kMaxGrid) expected = 0;
        FUZZ_CHECK(image[i] == expected);
    }

    // Whatever was read, saving it gives a file that loads back to the same record.
    ConfigData saved = config;
    saved.FileMark = kConfigFileMark;
    const ConfigBytes savedImage = EncodeConfig(saved);
    ConfigData reloaded;
    FUZZ_CHECK(LoadConfigImage(savedImage, reloaded));
    FUZZ_CHECK(reloaded == saved);

    ReadLikeTheProgram(config);
    return 0;
}
