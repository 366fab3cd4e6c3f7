// Hot-key identifiers from atoms and the WM_HOTKEY decision.
#include <gtest/gtest.h>

#include "app/HotKeys.h"

namespace {

TEST(HotKeys, AtomIsReadAsSignedSixteenBits) {
    const struct { uint16_t atom; int32_t id; } cases[] = {
        {0xC000, -16384}, {0xC001, -16383}, {0xFFFF, -1}, {0x7FFF, 32767}, {0x0001, 1}, {0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atom);
        EXPECT_EQ(HotKeyIdFromAtom(c.atom), c.id);
    }
}

TEST(HotKeys, WParamMatchesWidenedOrNot) {
    const std::array<int32_t, 2> ids{HotKeyIdFromAtom(0xC000), HotKeyIdFromAtom(0xC123)};
    // A 64-bit WPARAM carries the id sign-extended; a 32-bit one only its 32-bit pattern.
    EXPECT_EQ(HotKeyActionFor(0xFFFFFFFFFFFFC000ull, ids, false, false), HotKeyAction::Lock);
    EXPECT_EQ(HotKeyActionFor(0xFFFFC000ull, ids, false, false), HotKeyAction::Lock);
    EXPECT_EQ(HotKeyActionFor(0xFFFFFFFFFFFFC123ull, ids, false, false), HotKeyAction::Configure);
    // The atom value itself, unsigned, is not the identifier RegisterHotKey was given.
    EXPECT_EQ(HotKeyActionFor(0xC000ull, ids, false, false), HotKeyAction::None);
}

TEST(HotKeys, IgnoredWhileLockedOrBusyOrUnknown) {
    const std::array<int32_t, 2> ids{-16384, -16000};
    const uint64_t lock = static_cast<uint64_t>(static_cast<int64_t>(-16384));
    const uint64_t configure = static_cast<uint64_t>(static_cast<int64_t>(-16000));
    EXPECT_EQ(HotKeyActionFor(lock, ids, true, false), HotKeyAction::None);
    EXPECT_EQ(HotKeyActionFor(lock, ids, false, true), HotKeyAction::None);
    EXPECT_EQ(HotKeyActionFor(configure, ids, true, false), HotKeyAction::None);
    EXPECT_EQ(HotKeyActionFor(configure, ids, false, true), HotKeyAction::None);
    EXPECT_EQ(HotKeyActionFor(static_cast<uint64_t>(-2), ids, false, false), HotKeyAction::None);
}

TEST(HotKeys, EntryWithoutAtomNeverMatches) {
    // Both atoms failed: both ids are 0 and a WM_HOTKEY with id 0 must not lock.
    EXPECT_EQ(HotKeyActionFor(0, {0, 0}, false, false), HotKeyAction::None);
}

TEST(HotKeys, FailureTextFitsTheBalloon) {
    EXPECT_EQ(FailedHotKeysText({false, false}), "");
    EXPECT_LE(FailedHotKeysText({true, true}).size(), 255u);   // the balloon's text field
}

}  // namespace
