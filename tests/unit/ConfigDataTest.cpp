// The settings file image, the loader's rule, the defaults and the default patterns.
#include "core/ConfigData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A record in which every field holds a different, recognisable value.
ConfigData DistinctRecord() {
    ConfigData c;
    c.Grid = 2;
    c.Reserved = 0xA5;
    c.AutoHideTime = 0x01020304;
    c.AutoLockTime = 0x11121314;
    c.MonitorOffTime = 0x21222324;
    c.AlertTimes = 7;
    c.AlertMode = -2;
    c.AutoStartLock = -1;
    for (int i = 0; i < kSecretPatternEntries; ++i) c.SecretPattern[i] = 1000 + i;
    SetFixedText(c.BackgroundImage, "C:\\Pictures\\sea.jpg");
    c.LockKeyboard = 0x3132;
    SetFixedText(c.AlertWord, "Hands off");
    c.Effect = 0x4142;
    c.Disconnection = 0x5152;
    c.TransparentBackground = 0x6162;
    c.UnlockMode = 2;
    c.FileMark = kConfigFileMark;
    return c;
}

}  // namespace

TEST(ConfigData, RoundTripKeepsEveryField) {
    ConfigData c = DistinctRecord();
    c.Grid = 0;
    c.SecretPattern[10] = 25;  // stale entry above the 3x3 pattern
    c.SecretPattern[36] = -7;
    c.BackgroundImage[255] = '\0';
    EXPECT_EQ(DecodeConfig(EncodeConfig(c)), c);
    EXPECT_EQ(DecodeConfig(EncodeConfig(ConfigData{})), ConfigData{});
}

TEST(ConfigData, BytesSitAtTheirOffsets) {
    const ConfigBytes b = EncodeConfig(DistinctRecord());
    struct Case { std::size_t at; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {0, {0x02, 0xA5}},
        {2, {0x04, 0x03, 0x02, 0x01}},
        {6, {0x14, 0x13, 0x12, 0x11}},
        {10, {0x24, 0x23, 0x22, 0x21}},
        {14, {0x07, 0, 0, 0}},
        {18, {0xFE, 0xFF, 0xFF, 0xFF}},
        {22, {0xFF, 0xFF}},
        {24, {0xE8, 0x03, 0, 0}},            // entry 0 = 1000
        {24 + 4 * 36, {0x0C, 0x04, 0, 0}},   // entry 36 = 1036
        {172, {'C', ':', '\\'}},
        {427, {' '}},
        {428, {0x32, 0x31}},
        {430, {'H', 'a', 'n', 'd', 's', ' ', 'o', 'f', 'f', ' '}},
        {557, {' '}},
        {558, {0x42, 0x41, 0x52, 0x51, 0x62, 0x61}},
        {564, {0x02}},
        {565, {0x21, 0x4E, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.bytes.size(); ++i) EXPECT_EQ(b[c.at + i], c.bytes[i]) << "offset " << c.at + i;
    }
}

TEST(ConfigData, LoaderRule) {
    struct Case { uint8_t grid; int32_t mark; bool accepted; uint8_t gridAfter; };
    const Case cases[] = {
        {0, kConfigFileMark, true, 0}, {2, kConfigFileMark, true, 2}, {5, kConfigFileMark, true, 0},
        {3, kConfigFileMark, true, 0}, {255, 20000, false, 0},         {1, 0, false, 1},
        {1, 0x4E21 << 8, false, 1},
    };
    for (const Case& c : cases) {
        ConfigData config = DistinctRecord();
        config.Grid = c.grid;
        config.FileMark = c.mark;
        const ConfigData before = config;
        ConfigData loaded = DecodeConfig(EncodeConfig(config));
        EXPECT_EQ(NormalizeLoadedConfig(loaded), c.accepted) << int(c.grid) << ' ' << c.mark;
        EXPECT_EQ(loaded.Grid, c.gridAfter);
        EXPECT_EQ(loaded.SecretPattern, before.SecretPattern);  // pattern stays as read
        EXPECT_EQ(loaded.UnlockMode, before.UnlockMode);
    }
}

TEST(ConfigData, ShortOrGarbageImageIsRejected) {
    // A short file leaves the rest of the buffer zero, so the mark is missing.
    ConfigBytes shortFile{};
    const ConfigBytes full = EncodeConfig(DistinctRecord());
    std::copy(full.begin(), full.begin() + 300, shortFile.begin());
    ConfigData fromShort = DecodeConfig(shortFile);
    EXPECT_FALSE(NormalizeLoadedConfig(fromShort));

    ConfigBytes garbage{};
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    ConfigData fromGarbage = DecodeConfig(garbage);
    EXPECT_FALSE(NormalizeLoadedConfig(fromGarbage));
    EXPECT_LE(fromGarbage.Grid, kMaxGrid);
}

TEST(ConfigData, LoadConfigImageJudgesTheFileByItsLength) {
    const ConfigBytes full = EncodeConfig(DistinctRecord());
    // Lengths around the record's: 567 and 568 bytes still end in the mark's low bytes 21 4E.
    struct Case { std::size_t size; bool accepted; };
    const Case cases[] = {{0, false}, {1, false}, {565, false}, {567, false}, {568, false},
                          {569, true}, {570, true}, {4096, true}};
    for (const Case& c : cases) {
        std::vector<uint8_t> file(full.begin(), full.begin() + std::min(c.size, full.size()));
        file.resize(c.size, 0xEE);  // a longer file's tail is not part of the record
        ConfigData loaded = DistinctRecord();
        loaded.Grid = 1;
        EXPECT_EQ(LoadConfigImage(file, loaded), c.accepted) << c.size;
        if (c.size >= kConfigFileSize) {
            EXPECT_EQ(loaded, DistinctRecord()) << c.size;
        }
    }
    // A rejected file still overwrites the record (the bytes it lacks as zeros).
    std::vector<uint8_t> cut(full.begin(), full.begin() + 568);
    ConfigData loaded = DistinctRecord();
    ASSERT_FALSE(LoadConfigImage(cut, loaded));
    EXPECT_EQ(loaded.UnlockMode, 2);
    EXPECT_EQ(loaded.FileMark, kConfigFileMark & 0xFFFF);
    ASSERT_FALSE(LoadConfigImage({}, loaded));
    EXPECT_EQ(loaded, ConfigData{});
}

TEST(ConfigData, DefaultsLeaveUserChoicesAlone) {
    ConfigData c = DistinctRecord();
    ConfigData expected = c;  // picture, keyboard, dial-up, transparency, mode, pattern untouched
    expected.Grid = 0;
    expected.AutoHideTime = 60;
    expected.AutoLockTime = 180;
    expected.MonitorOffTime = 300;
    expected.AutoStartLock = 0;
    expected.AlertTimes = 3;
    expected.AlertMode = 1;
    expected.Effect = 1;
    const std::string word = "Do not touch my computer!" + std::string(128 - 25, ' ');
    std::copy(word.begin(), word.end(), expected.AlertWord.begin());
    ApplyDefaultConfig(c);
    EXPECT_EQ(c, expected);
}

TEST(ConfigData, DefaultPatternsAreDistinctShapes) {
    struct Case { uint8_t grid; int side; int length; };
    const Case cases[] = {{0, 3, 7}, {1, 4, 10}, {2, 5, 13}};
    for (const Case& c : cases) {
        ConfigData config;
        config.Grid = c.grid;
        config.SecretPattern.fill(99);  // leftovers from a larger grid must go
        SetDefaultPattern(config);
        EXPECT_EQ(config.SecretPattern[0], 99) << "entry 0 is never used";
        std::set<int> points, rows;
        int length = 0;
        for (int i = 1; i < kSecretPatternEntries; ++i) {
            const int32_t p = config.SecretPattern[i];
            if (i <= c.length) {
                ASSERT_GE(p, 1) << int(c.grid) << " entry " << i;
                ASSERT_LE(p, c.side * c.side);
                points.insert(p);
                rows.insert((p - 1) / c.side);
                ++length;
            } else {
                EXPECT_EQ(p, 0) << int(c.grid) << " entry " << i;
            }
        }
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(static_cast<int>(points.size()), c.length) << "points repeat";
        EXPECT_GT(rows.size(), 1u) << "a plain row";
    }
}

TEST(ConfigData, DefaultPatternOfBadGridIsEmpty) {
    ConfigData config;
    config.Grid = 3;
    config.SecretPattern.fill(5);
    SetDefaultPattern(config);
    for (int i = 1; i < kSecretPatternEntries; ++i) EXPECT_EQ(config.SecretPattern[i], 0);
}

TEST(ConfigData, DefaultPatternIsRecognisedOnEveryGrid) {
    for (uint8_t grid = 0; grid <= kMaxGrid + 1; ++grid) {   // 3: a damaged grid has none
        ConfigData config;
        config.Grid = grid;
        SetDefaultPattern(config);
        config.SecretPattern[36] = 5;   // above N*N: takes no part
        EXPECT_EQ(IsDefaultPattern(config), grid <= kMaxGrid) << int(grid);
        std::swap(config.SecretPattern[1], config.SecretPattern[2]);   // same points, other order
        EXPECT_FALSE(IsDefaultPattern(config)) << int(grid);
    }
}

TEST(ConfigData, GridSide) {
    const std::pair<int, int> cases[] = {{0, 3}, {1, 4}, {2, 5}, {3, 3}, {-1, 3}, {255, 3}};
    for (const auto& [grid, side] : cases) EXPECT_EQ(GridSideOf(grid), side) << grid;
}

TEST(ConfigData, FixedTextPadsCutsAndTrims) {
    ConfigData c;
    EXPECT_EQ(ReadFixedText(c.AlertWord), "");  // never assigned: all NUL
    SetFixedText(c.AlertWord, std::string(130, 'x'));
    EXPECT_EQ(ReadFixedText(c.AlertWord), std::string(128, 'x'));
    SetFixedText(c.BackgroundImage, "  C:\\a b.png ");
    EXPECT_EQ(c.BackgroundImage[255], ' ');
    EXPECT_EQ(ReadFixedText(c.BackgroundImage), "C:\\a b.png");
    c.BackgroundImage[6] = '\0';
    EXPECT_EQ(ReadFixedText(c.BackgroundImage), "C:\\a");
}

TEST(ConfigData, TimeListBothWays) {
    const int32_t seconds[] = {0, 60, 120, 180, 240, 300, 600, 900, 1200, 1500, 1800, 2700, 3600, 7200, 10800, 18000};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(TimeListSeconds(i), seconds[i]);
        EXPECT_EQ(TimeListIndexOf(seconds[i]), i);
    }
    for (int32_t unknown : {1, 59, 61, -60, 18001, 86400}) EXPECT_EQ(TimeListIndexOf(unknown), 0) << unknown;
    for (int bad : {-1, 16, 1000}) EXPECT_EQ(TimeListSeconds(bad), 0) << bad;
}
