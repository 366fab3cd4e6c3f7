// The about window's text, links, hit test and underline rules.
#include <gtest/gtest.h>

#include "tray/AboutText.h"

TEST(AboutText, FiveLinesFromVersionAndLegalNotice) {
    EXPECT_EQ(AboutText(AppVersion{2, 5, 17}, "(C) Someone"),
              "Orvo PC Lock 2.5.17\r\n\r\nA Powerful Lock Computer Application\r\n\r\n(C) Someone");
    EXPECT_EQ(AboutText(AppVersion{}, ""), "Orvo PC Lock 0.0.0\r\n\r\nA Powerful Lock Computer Application\r\n\r\n");
}

TEST(AboutText, LinkCaptionsAndTargets) {
    EXPECT_EQ(AboutLinkCaption(0), "Website: https://www.example.com/orvo-pc-lock/");
    EXPECT_EQ(AboutLinkCaption(1), "Support: support@example.com");
    EXPECT_EQ(AboutLinkTarget(0), "https://www.example.com/orvo-pc-lock/");
    EXPECT_EQ(AboutLinkTarget(1), "mailto:support@example.com?subject=Help");
    EXPECT_EQ(AboutLinkCaption(2), "");
    EXPECT_EQ(AboutLinkTarget(-1), "");
}

namespace {
AboutLayout SizedLayout() {
    AboutLayout layout;
    layout.LabAbout.Width = 250;
    layout.LabAbout.Height = 75;
    layout.LabHome[0].Width = 240;
    layout.LabHome[0].Height = 15;
    layout.LabHome[1].Width = 160;
    layout.LabHome[1].Height = 15;
    return layout;
}
}  // namespace

TEST(AboutText, HitTestFindsEachPartAndItsEdges) {
    const AboutLayout layout = SizedLayout();
    struct Case { int x, y; AboutTarget target; };
    const Case cases[] = {
        {150, 159, AboutTarget::Link0}, {389, 173, AboutTarget::Link0}, {390, 173, AboutTarget::Surface},
        {150, 174, AboutTarget::Surface}, {150, 183, AboutTarget::Link1}, {309, 197, AboutTarget::Link1},
        {149, 183, AboutTarget::Surface}, {149, 20, AboutTarget::AboutLabel}, {398, 94, AboutTarget::AboutLabel},
        {5, 6, AboutTarget::Picture}, {132, 133, AboutTarget::Picture}, {4, 6, AboutTarget::Surface},
        {7, 144, AboutTarget::Picture}, {134, 207, AboutTarget::Picture}, {100, 228, AboutTarget::Picture},
        {441, 230, AboutTarget::Picture}, {100, 231, AboutTarget::Surface}, {442, 228, AboutTarget::Surface},
        {300, 250, AboutTarget::Surface}, {0, 0, AboutTarget::Surface},
    };
    for (const Case& c : cases) EXPECT_EQ(HitTestAbout(layout, c.x, c.y), c.target) << c.x << "," << c.y;
    // An unsized label (its text not measured yet) covers nothing.
    EXPECT_EQ(HitTestAbout(AboutLayout{}, 150, 159), AboutTarget::Surface);
}

TEST(AboutText, UnderlineFollowsTheLinksAndLeavesOnTheBareSurface) {
    AboutLinkState state;
    // Onto a link: only that link.
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Link1), 2u);
    EXPECT_FALSE(state.Underlined[0]);
    EXPECT_TRUE(state.Underlined[1]);
    // Moving on the same link draws nothing again.
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Link1), 0u);
    // From a link onto a picture or the about text: the underline stays.
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Picture), 0u);
    EXPECT_EQ(state.OnMouseMove(AboutTarget::AboutLabel), 0u);
    EXPECT_TRUE(state.Underlined[1]);
    // Straight from one link to the other: both stay underlined until the surface is reached.
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Link0), 1u);
    EXPECT_TRUE(state.Underlined[0] && state.Underlined[1]);
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Surface), 3u);
    EXPECT_FALSE(state.Underlined[0] || state.Underlined[1]);
    EXPECT_EQ(state.OnMouseMove(AboutTarget::Surface), 0u);
}
