// The keys that pass the keyboard hook in each unlock mode.
#include "system/KeyFilter.h"

#include <gtest/gtest.h>

#include <string>
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

// The hook's decision over sequences of events in both settings of "Lock keyboard".
TEST(LockKeyFilter, SystemShortcutsNeverPass) {
    enum : uint32_t { Tab = 9, Ret = 13, Shift = 16, Ctrl = 17, Alt = 18, Esc = 27, Space = 32, A = 65,
                      LWin = 91, RWin = 92, Apps = 93, F4 = 115, RCtrl = 163, LAlt = 164, RAlt = 165 };
    struct Event { uint32_t vk; bool up = false; bool altFlag = false; bool foreign = false; };
    auto up = [](uint32_t vk) { return Event{vk, true}; };
    auto away = [](uint32_t vk, bool isUp = false) { return Event{vk, isUp, false, true}; };
    struct Row { const char* name; bool lockAll; int mode; std::vector<Event> events; std::string passes; };
    const Row rows[] = {
        {"Windows and Apps keys", false, 0, {{LWin}, up(LWin), {RWin}, up(RWin), {Apps}, up(Apps)}, "------"},
        {"browser, volume, media, launch", false, 0, {{165}, {166}, {173}, {179}, {183}, {184}}, "P----P"},
        {"Alt + Tab", false, 0, {{Alt}, {Tab}, up(Tab), up(Alt), {Tab}}, "P--PP"},
        {"Alt + Esc, F4, Space", false, 0, {{LAlt}, {Esc}, {F4}, {Space}, {A}}, "P---P"},
        {"AltGr + Tab, Alt the platform reports", false, 0, {{RAlt}, {Tab}, {Esc, false, true}}, "P--"},
        {"Ctrl + Esc", false, 0, {{Ctrl}, {Esc}, up(Esc), up(Ctrl), {Esc}}, "P--PP"},
        {"Ctrl + Shift + Esc", false, 0, {{RCtrl}, {Shift}, {Esc}, up(Esc)}, "PP--"},
        {"release follows press", false, 0, {{Esc}, {Ctrl}, {Esc}, up(Esc), up(Ctrl)}, "PP-PP"},
        {"Yes: table", true, 0, {{A}, up(A), {Ret}, {Tab}, {LWin}}, "--P--"},
        {"Yes: Ctrl swallowed, Esc alone", true, 0, {{Ctrl}, {Esc}, up(Esc), {Esc, false, true}}, "-PP-"},
        {"Yes: release of a press before the hook", true, 0, {up(A), up(LWin), {A}, up(A)}, "PP--"},
        {"Yes: dynamic letters", true, 2, {{A}, {Alt}, {Tab}, {LWin}}, "P---"},
        // The foreground is not ours: nothing is typed there, the lock's keys go to the lock.
        {"No, away: A, Enter, Esc", false, 0, {away(A), away(A, true), away(Ret), away(Ret, true), away(Esc)}, "--H-H"},
        {"Yes, away: dynamic letters, keypad, Tab", true, 2, {away(A), away(0x35), away(0x65), away(Tab)}, "HH--"},
        {"No: pressed here, released away", false, 0, {{A}, away(A, true), {LWin}, away(LWin, true)}, "PP--"},
    };
    for (const Row& row : rows) {
        LockKeyFilter filter;   // fresh, as at each lock
        std::string passes;
        for (const Event& e : row.events)
            passes += "P-H"[static_cast<int>(filter.Route(e.vk, e.up, e.altFlag, row.lockAll, row.mode, !e.foreign))];
        EXPECT_EQ(passes, row.passes) << row.name;
    }
}
