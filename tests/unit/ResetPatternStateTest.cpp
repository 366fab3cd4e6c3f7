// The configuration canvas's entry course, the shown sequence and the backup bitmap format.
#include "ui/ResetPatternState.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> Drawn(ResetPatternState& state, std::initializer_list<int> moves, ResetOutcome expected) {
    auto it = moves.begin();
    state.Press(*it);
    for (++it; it != moves.end(); ++it) state.Move(*it);
    std::vector<int32_t> points;
    EXPECT_EQ(state.Release(points), expected);
    return points;
}

TEST(ResetPatternState, MouseIsIgnoredUntilResetPatternIsClicked) {
    ResetPatternState state;
    state.Recreate(9);
    EXPECT_FALSE(state.Press(1));
    EXPECT_FALSE(state.IsDrawing());
    std::vector<int32_t> points;
    EXPECT_EQ(state.Release(points), ResetOutcome::None);
}

TEST(ResetPatternState, FourPointsAreAcceptedAndTheCanvasGoesIdle) {
    ResetPatternState state;
    state.StartReset(9);
    Drawn(state, {1, 2, 3}, ResetOutcome::TooShort);
    EXPECT_FALSE(state.IsResetting());
    state.StartReset(9);
    const std::vector<int32_t> points = Drawn(state, {1, 2, 3, 6}, ResetOutcome::Accepted);
    ASSERT_EQ(points.size(), 10u);
    EXPECT_EQ(points[1], 1);
    EXPECT_EQ(points[4], 6);
    EXPECT_EQ(points[5], 0);
    EXPECT_FALSE(state.IsResetting());
    EXPECT_FALSE(state.IsDrawing());
    EXPECT_EQ(state.ResetPoints().Count(), 0);
}

TEST(ResetPatternState, SinglePointDependsOnItsDigits) {
    ResetPatternState state;
    state.StartReset(9);
    Drawn(state, {5}, ResetOutcome::Refused);
    EXPECT_FALSE(state.IsResetting());
    state.StartReset(16);
    EXPECT_TRUE(Drawn(state, {12}, ResetOutcome::TooShort).empty());
    state.StartReset(16);
    Drawn(state, {9}, ResetOutcome::Refused);
}

TEST(ResetPatternState, ComingBackToAPointAddsNothing) {
    ResetPatternState state;
    state.StartReset(9);
    state.Press(1);
    EXPECT_TRUE(state.Move(2));
    EXPECT_FALSE(state.Move(1));
    EXPECT_TRUE(state.Move(3));
    const auto& slots = state.ResetPoints().Slots();
    EXPECT_EQ((std::vector<int32_t>(slots.begin() + 1, slots.begin() + 5)), (std::vector<int32_t>{1, 2, 3, 0}));
}

TEST(ResetPatternState, PressBetweenPointsStaysReady) {
    ResetPatternState state;
    state.StartReset(9);
    EXPECT_FALSE(state.Press(0));
    std::vector<int32_t> points;
    EXPECT_EQ(state.Release(points), ResetOutcome::None);
    EXPECT_TRUE(state.IsResetting());
    EXPECT_TRUE(state.Press(4));   // the next press on a point starts drawing
}

TEST(ResetPatternState, GridChangeKeepsTheReadyState) {
    ResetPatternState state;
    state.StartReset(9);
    state.Recreate(25);
    EXPECT_TRUE(state.IsResetting());
    EXPECT_EQ(state.ResetPoints().Capacity(), 25);
    state.Press(25);
    state.Move(13);
    state.Move(1);
    state.Move(2);
    std::vector<int32_t> points;
    EXPECT_EQ(state.Release(points), ResetOutcome::Accepted);
}

TEST(ResetPatternState, BackupEndsAPendingEntry) {
    ResetPatternState state;
    state.StartReset(9);
    state.Press(1);
    state.StopResetting();
    EXPECT_FALSE(state.IsResetting());
    EXPECT_FALSE(state.IsDrawing());
    EXPECT_FALSE(state.Move(2));
}

TEST(ShownSequence, SkipsFreeEntriesAndNumbersOffTheGrid) {
    const int32_t entries[] = {99, 3, 0, 10, -4, 1, 9};
    EXPECT_EQ(ShownSequence(entries, 6, 3), (std::vector<int>{3, 1, 9}));
    EXPECT_EQ(ShownSequence(entries, 6, 4), (std::vector<int>{3, 10, 1, 9}));
    EXPECT_TRUE(ShownSequence(nullptr, 6, 3).empty());
}

TEST(StoreResetPattern, ReplacesOnlyTheGridEntries) {
    ConfigData config;
    config.SecretPattern.fill(7);
    std::vector<int32_t> points(10, 0);
    points[1] = 4;
    points[2] = 8;
    StoreResetPattern(config, points, 3);
    EXPECT_EQ(config.SecretPattern[0], 7);
    EXPECT_EQ(config.SecretPattern[1], 4);
    EXPECT_EQ(config.SecretPattern[2], 8);
    EXPECT_EQ(config.SecretPattern[3], 0);
    EXPECT_EQ(config.SecretPattern[9], 0);
    EXPECT_EQ(config.SecretPattern[10], 7);
    EXPECT_EQ(config.SecretPattern[36], 7);
}

TEST(EncodeBitmapFile, HeaderRowsAndPadding) {
    // 2 x 2: top row red, white; bottom row green, blue. Rows of 6 bytes padded to 8.
    const std::vector<uint32_t> pixels = {0xFF0000, 0xFFFFFF, 0x00FF00, 0x0000FF};
    const std::vector<uint8_t> file = EncodeBitmapFile(pixels, 2, 2);
    ASSERT_EQ(file.size(), 54u + 16u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2], 70);
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[18], 2);
    EXPECT_EQ(file[22], 2);
    EXPECT_EQ(file[28], 24);
    // The first stored row is the bottom one: green (B, G, R = 0, 255, 0), then blue.
    EXPECT_EQ((std::vector<uint8_t>(file.begin() + 54, file.begin() + 62)),
              (std::vector<uint8_t>{0, 255, 0, 255, 0, 0, 0, 0}));
    EXPECT_EQ((std::vector<uint8_t>(file.begin() + 62, file.begin() + 70)),
              (std::vector<uint8_t>{0, 0, 255, 255, 255, 255, 0, 0}));
}

TEST(EncodeBitmapFile, CanvasSizeAndMismatch) {
    const std::vector<uint32_t> canvas(322 * 322, 0xFFFFFF);
    EXPECT_EQ(EncodeBitmapFile(canvas, 322, 322).size(), 54u + 968u * 322u);
    EXPECT_TRUE(EncodeBitmapFile(canvas, 322, 321).empty());
    EXPECT_TRUE(EncodeBitmapFile({}, 0, 0).empty());
}

}  // namespace
