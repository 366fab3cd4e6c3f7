// The keys that pass the keyboard hook in each unlock mode.
#include "system/KeyFilter.h"

#include <gtest/gtest.h>

#include <vector>

TEST(KeyFilter, EveryCodeInEveryMode) {
    // Named keys first: what a user would try, and the borders of the typable range.
    struct Case { uint32_t vk; bool normal, dynamic; };
    const Case cases[] = {
        {8, true, true},     {13, true, true},    {27, true, true},    {0, false, false},
        {9, false, false},   {16, false, false},  {17, false, false},  {18, false, false},
        {32, false, false},  {46, false, false},  {47, false, false},  {48, false, true},
        {57, false, true},   {58, false, true},   {64, false, true},   {65, false, true},
        {90, false, true},   {91, false, false},  {92, false, false},  {96, false, false},
        {105, false, false}, {112, false, false}, {164, false, false}, {255, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyPassesLock(c.vk, 0), c.normal) << c.vk;
        EXPECT_EQ(KeyPassesLock(c.vk, 1), c.normal) << c.vk;
        EXPECT_EQ(KeyPassesLock(c.vk, 2), c.dynamic) << c.vk;
    }
    // Then every code: three pass in the pointer modes, those three plus 43 in the keyboard mode.
    std::vector<int> passing(3, 0);
    for (int mode = 0; mode <= 2; ++mode) {
        for (uint32_t vk = 0; vk <= 255; ++vk) passing[mode] += KeyPassesLock(vk, mode) ? 1 : 0;
    }
    EXPECT_EQ(passing, (std::vector<int>{3, 3, 3 + 43}));
}

TEST(KeyFilter, CodesAboveAByteAndUnknownModes) {
    // The hook gets the full 32-bit code; only its exact value may pass, never a truncated one.
    EXPECT_FALSE(KeyPassesLock(0x100 + 65, 2));
    EXPECT_FALSE(KeyPassesLock(0x100 + 13, 0));
    EXPECT_FALSE(KeyPassesLock(65, 3));
    EXPECT_FALSE(KeyPassesLock(65, -1));
    EXPECT_TRUE(KeyPassesLock(27, 7));
}
