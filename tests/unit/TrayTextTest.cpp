// The tray menu's captions, the tooltip field and the callback decisions.
#include <gtest/gtest.h>

#include <string>

#include "tray/TrayText.h"

TEST(TrayText, MenuCaptionsInOrderWithTheirBlankRuns) {
    const char* const expected[] = {
        "&Lock Computer              Win + A", "&Configure                  Win + C", "&About Orvo PC Lock",
        "&Online Help", "-", "&Using Transparent Background", "&Disable Autolock", "-", "&Exit",
    };
    ASSERT_EQ(static_cast<int>(std::size(expected)), kTrayMenuCount);
    for (int i = 0; i < kTrayMenuCount; ++i) EXPECT_EQ(TrayMenuCaption(i, false), expected[i]) << i;
    // 14 blanks after "&Lock Computer", 18 after "&Configure": the hot-key texts line up.
    EXPECT_EQ(TrayMenuCaption(kMenuLock, false).find("Win + A"), std::string("&Lock Computer").size() + 14);
    EXPECT_EQ(TrayMenuCaption(kMenuConfigure, false).find("Win + C"), std::string("&Configure").size() + 18);
    EXPECT_EQ(TrayMenuCaption(-1, false), "");
    EXPECT_EQ(TrayMenuCaption(kTrayMenuCount, true), "");
}

TEST(TrayText, OnlyTheAutolockCaptionFollowsTheSwitch) {
    EXPECT_EQ(TrayMenuCaption(kMenuAutoLock, true), "&Enable Autolock");
    EXPECT_EQ(TrayMenuCaption(kMenuAutoLock, false), "&Disable Autolock");
    for (int i = 0; i < kTrayMenuCount; ++i) {
        if (i == kMenuAutoLock) continue;
        EXPECT_EQ(TrayMenuCaption(i, true), TrayMenuCaption(i, false)) << i;
        EXPECT_EQ(IsTrayMenuSeparator(i), TrayMenuCaption(i, false) == "-") << i;
    }
}

TEST(TrayText, TooltipHasTheShortVersionAndTheHomePage) {
    EXPECT_EQ(TrayTipText(AppVersion{1, 0, 3}), "Orvo PC Lock 1.0\r\nhttps://www.example.com/orvo-pc-lock/");
    EXPECT_EQ(TrayTipText(AppVersion{12, 34, 56}).substr(0, 19), "Orvo PC Lock 12.34\r");
    EXPECT_EQ(TrayTipText(AppVersion{1, 0, 3}, true), "Orvo PC Lock 1.0\r\nDefault pattern: anyone can unlock");
}

TEST(TrayText, TooltipFieldIsPaddedAndAlwaysTerminated) {
    const auto shortField = TrayTipField("abc");
    EXPECT_EQ(std::string(shortField.data()), "abc");
    for (std::size_t i = 4; i < kTrayTipChars; ++i) EXPECT_EQ(shortField[i], ' ') << i;

    const std::string exact(63, 'x');
    EXPECT_EQ(std::string(TrayTipField(exact).data()), exact);
    // 64 characters or more would leave the field without its end: the last one gives way.
    const auto longField = TrayTipField(std::string(64, 'y') + "tail");
    EXPECT_EQ(longField[63], '\0');
    EXPECT_EQ(std::string(longField.data()), std::string(63, 'y'));

    const auto empty = TrayTipField("");
    EXPECT_EQ(empty[0], '\0');
    EXPECT_EQ(empty[63], ' ');
    // The real tooltip fits whole.
    for (const bool isDefault : {false, true}) {
        const std::string tip = TrayTipText(AppVersion{99999, 99999, 3}, isDefault);
        EXPECT_EQ(std::string(TrayTipField(tip).data()), tip);
    }
}

TEST(TrayText, OnlyButtonReleasesAct) {
    EXPECT_EQ(TrayCallbackActionFor(0x0202), TrayCallbackAction::Lock);       // left up
    EXPECT_EQ(TrayCallbackActionFor(0x0205), TrayCallbackAction::ShowMenu);   // right up
    for (uint32_t other : {0x0200u, 0x0201u, 0x0203u, 0x0204u, 0x0206u, 0x0207u, 0x0208u, 0u, 0x0400u})
        EXPECT_EQ(TrayCallbackActionFor(other), TrayCallbackAction::None) << other;
}

TEST(TrayText, TransparentSwitchTurnsAnyOnValueOff) {
    EXPECT_EQ(ToggledTransparentBackground(0), 1);
    EXPECT_EQ(ToggledTransparentBackground(1), 0);
    EXPECT_EQ(ToggledTransparentBackground(-1), 0);
    EXPECT_EQ(ToggledTransparentBackground(7), 0);
}
