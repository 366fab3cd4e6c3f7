// The start's lock decision, the session-end watch and the accessibility hot keys' record.
#include <gtest/gtest.h>

#include "app/FailClosedPlan.h"
#include "system/AccessHotKeyPlan.h"

TEST(FailClosedPlan, AMarkerLeftSetLocksWhateverTheArguments) {
    for (const char* arguments : {"", "/StartupLock", "/Lock", "/Config", "x y"})
        EXPECT_TRUE(LocksAtStart(true, arguments)) << arguments;
    EXPECT_TRUE(LocksAtStart(false, "/StartupLock"));
    EXPECT_TRUE(LocksAtStart(false, "/Lock"));
    EXPECT_FALSE(LocksAtStart(false, ""));
    EXPECT_FALSE(LocksAtStart(false, "/Config"));
    // The lock comes before any message, but for an account never seen that has no pattern yet.
    EXPECT_TRUE(LocksBeforeMessages(true, true, "") && LocksBeforeMessages(false, true, "/StartupLock"));
    EXPECT_FALSE(LocksBeforeMessages(false, false, "/StartupLock") || LocksBeforeMessages(false, true, ""));
}

TEST(FailClosedPlan, AnEndOfSessionTheProcessOutlivesLocksAgainAfterTheGrace) {
    SessionEndWatch watch;
    EXPECT_EQ(watch.NoteEndSession(true, false, 0), SessionEndAction::None);   // unlocked
    EXPECT_EQ(watch.NoteEndSession(true, true, 1000), SessionEndAction::GiveBack);
    EXPECT_EQ(watch.NoteEndSession(true, true, 2000), SessionEndAction::None);  // given back once
    EXPECT_EQ(watch.Tick(true, 2000 + kSessionEndGraceMs - 1), SessionEndAction::None);
    EXPECT_EQ(watch.Tick(true, 2000 + kSessionEndGraceMs), SessionEndAction::LockAgain);
    EXPECT_FALSE(watch.IsArmed());
    EXPECT_EQ(watch.Tick(true, 99999), SessionEndAction::None);
}

TEST(FailClosedPlan, ACalledOffEndLocksAgainAtOnceAnUnlockDisarms) {
    SessionEndWatch watch;
    EXPECT_EQ(watch.NoteEndSession(false, true, 0), SessionEndAction::None);
    watch.NoteEndSession(true, true, 0);
    EXPECT_EQ(watch.NoteEndSession(false, true, 10), SessionEndAction::LockAgain);
    watch.NoteEndSession(true, true, 20);
    EXPECT_EQ(watch.Tick(false, 20 + kSessionEndGraceMs), SessionEndAction::None);
    EXPECT_FALSE(watch.IsArmed());
}

TEST(AccessHotKeyPlan, OnlyTheHotKeysThatWereOnComeBack) {
    const AccessHotKeyStates beforeLock = {true, false, std::nullopt, true, false};
    const AccessHotKeySet turnedOff = ActiveHotKeys(beforeLock);
    EXPECT_EQ(EncodeAccessHotKeySet(turnedOff), "StickyKeys;HighContrast");
    EXPECT_EQ(DecodeAccessHotKeySet("StickyKeys;HighContrast"), turnedOff);
    EXPECT_EQ(DecodeAccessHotKeySet("Nonsense;;MouseKeys").Bits, 1u << static_cast<int>(AccessFeature::MouseKeys));
    // Sticky Keys was turned on again meanwhile; High Contrast cannot be read and is tried.
    const AccessHotKeyStates atRestore = {true, false, false, std::nullopt, false};
    EXPECT_EQ(EncodeAccessHotKeySet(HotKeysToTurnOn(turnedOff, atRestore)), "HighContrast");
}
