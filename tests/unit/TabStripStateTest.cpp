// The tab strip's layout numbers and its selection / hover rules.
#include "ui/TabStripState.h"

#include <gtest/gtest.h>

namespace {

// The strip as the configuration dialog uses it: 385 x 445, four tabs, tab 0 selected and shown.
TabStripState DialogStrip() {
    TabStripState strip;
    strip.SetSize(385, 445);
    strip.SetTabCount(3);
    strip.OnShow();
    return strip;
}

TEST(TabStripState, FourTabsOnTheDialogSpanTwoTo325) {
    TabStripState strip = DialogStrip();
    strip.SetTabSelect(2);
    ASSERT_EQ(strip.TabsShown(), 4);
    EXPECT_EQ(strip.BodyRect(0), (TabRect{2, 2, 80, 27}));
    EXPECT_EQ(strip.BodyRect(1), (TabRect{83, 2, 80, 27}));
    EXPECT_EQ(strip.BodyRect(3), (TabRect{245, 2, 80, 27}));
    EXPECT_EQ(strip.BodyRect(3).Left + strip.BodyRect(3).Width, 325);
    // The selected body is 84 wide and starts 2 px left of where it stands unselected.
    EXPECT_EQ(strip.BodyRect(2), (TabRect{162, 0, 84, 27}));
}

// At 150 % every part is half as large again, and the pointer finds the tab where it is drawn.
TEST(TabStripState, PartsAndTargetsFollowTheDpi) {
    TabStripState strip = DialogStrip();
    strip.SetDpi(144);
    EXPECT_EQ(strip.CaptionRect(1), (TabRect{125, 8, 120, 30}));
    EXPECT_EQ(strip.CaptionAt(130, 32), 1);
    EXPECT_EQ(strip.CaptionAt(130, 33), -1) << "the page starts at 33";
}

TEST(TabStripState, PartsOfTheSelectedTab) {
    TabStripState strip = DialogStrip();
    strip.SetTabSelect(1);
    EXPECT_EQ(strip.CaptionRect(1), (TabRect{83, 4, 80, 20}));
    EXPECT_EQ(strip.CaptionRect(0), (TabRect{2, 5, 80, 20}));
    EXPECT_EQ(strip.SelectedStripRect(), (TabRect{81, 0, 84, 4}));
    EXPECT_TRUE(strip.IsPicFixVisible());
    EXPECT_EQ(strip.PicFixRect(), (TabRect{82, 22, 82, 2}));
    EXPECT_TRUE(strip.HasSelectedLook(1));
    EXPECT_FALSE(strip.HasSelectedLook(0));
}

TEST(TabStripState, PageFrameAndEdgeLinesFollowTheSize) {
    TabStripState strip = DialogStrip();
    EXPECT_EQ(strip.PageRect(), (TabRect{0, 22, 384, 422}));
    EXPECT_EQ(strip.BottomLine(), (TabLine{2, 444, 385, 444}));
    EXPECT_EQ(strip.RightLine(), (TabLine{384, 24, 384, 445}));
    strip.SetSize(10, 10);   // smaller than the tab row: no negative page
    EXPECT_EQ(strip.PageRect().Height, 0);
}

TEST(TabStripState, FreshStripShowsTabSelectOnFirstShowing) {
    TabStripState strip;
    EXPECT_EQ(strip.DisplayedTab(), -1);
    EXPECT_EQ(strip.HoverTab(), -1);
    EXPECT_TRUE(strip.IsTimerRunning());
    strip.SetSize(385, 445);
    strip.SetTabCount(3);
    EXPECT_TRUE(strip.HasSelectedLook(0));   // the layout already gives tab 0 its look
    strip.OnShow();
    EXPECT_EQ(strip.DisplayedTab(), 0);
}

TEST(TabStripState, PressOnSelectedCaptionRaisesNothing) {
    TabStripState strip = DialogStrip();
    EXPECT_FALSE(strip.PressOnCaption(0));
    EXPECT_EQ(strip.TabSelect(), 0);
}

TEST(TabStripState, PressOnAnotherCaptionSelectsItBeforeTheEvent) {
    TabStripState strip = DialogStrip();
    strip.MoveOverCaption(3);
    ASSERT_TRUE(strip.IsHoverMarkVisible());
    EXPECT_TRUE(strip.PressOnCaption(3));
    EXPECT_EQ(strip.TabSelect(), 3);
    EXPECT_EQ(strip.DisplayedTab(), 3);
    EXPECT_TRUE(strip.HasSelectedLook(3));
    EXPECT_FALSE(strip.HasSelectedLook(0));
    EXPECT_EQ(strip.CaptionRect(0).Top, 5);
    EXPECT_FALSE(strip.IsHoverMarkVisible());
    // A second press on the now selected tab is not reported again.
    EXPECT_FALSE(strip.PressOnCaption(3));
}

TEST(TabStripState, WritingTabSelect) {
    TabStripState strip = DialogStrip();
    EXPECT_FALSE(strip.SetTabSelect(0));
    EXPECT_TRUE(strip.HasSelectedLook(0));
    EXPECT_TRUE(strip.SetTabSelect(2));
    EXPECT_EQ(strip.DisplayedTab(), 2);
    EXPECT_TRUE(strip.HasSelectedLook(2));
    EXPECT_FALSE(strip.HasSelectedLook(0));
}

TEST(TabStripState, TabSelectWrittenBeforeShowingLeavesOneSelectedLook) {
    TabStripState strip;
    strip.SetSize(385, 445);
    strip.SetTabCount(3);
    strip.SetTabSelect(2);
    for (int tab : {0, 1, 3}) EXPECT_FALSE(strip.HasSelectedLook(tab)) << tab;
    EXPECT_TRUE(strip.HasSelectedLook(2));
}

TEST(TabStripState, HoverMarkOnlyOnOtherTabs) {
    TabStripState strip = DialogStrip();
    strip.MoveOverCaption(0);
    EXPECT_FALSE(strip.IsHoverMarkVisible());
    EXPECT_FALSE(strip.IsTimerRunning());
    EXPECT_EQ(strip.HoverTab(), 0);
    strip.MoveOverCaption(2);
    EXPECT_TRUE(strip.IsHoverMarkVisible());
    EXPECT_TRUE(strip.IsTimerRunning());
    EXPECT_EQ(strip.HoverStripRect(), (TabRect{164, 2, 80, 3}));
    strip.MoveOverSurface();
    EXPECT_FALSE(strip.IsHoverMarkVisible());
    EXPECT_EQ(strip.HoverTab(), -1);
    EXPECT_FALSE(strip.IsTimerRunning());
}

TEST(TabStripState, LeaveTimerKeepsMarkInsideTheTabRow) {
    struct Case { int x, y; bool stays; };
    const Case cases[] = {
        {0, 0, true}, {385, 30, true}, {200, 15, true},
        {-1, 10, false}, {386, 10, false}, {100, 31, false}, {100, -1, false},
    };
    for (const Case& c : cases) {
        TabStripState strip = DialogStrip();
        strip.MoveOverCaption(1);
        strip.TimerTick(c.x, c.y);
        EXPECT_EQ(strip.IsHoverMarkVisible(), c.stays) << c.x << "," << c.y;
        EXPECT_EQ(strip.HoverTab(), c.stays ? 1 : -1) << c.x << "," << c.y;
        EXPECT_EQ(strip.IsTimerRunning(), c.stays) << c.x << "," << c.y;
    }
}

TEST(TabStripState, CaptionHitTestCoversOnlyTheVisiblePart) {
    TabStripState strip = DialogStrip();
    EXPECT_EQ(strip.CaptionAt(2, 5), 0);
    EXPECT_EQ(strip.CaptionAt(2, 4), 0);     // selected caption starts at 4
    EXPECT_EQ(strip.CaptionAt(83, 4), -1);   // the others at 5
    EXPECT_EQ(strip.CaptionAt(83, 5), 1);
    EXPECT_EQ(strip.CaptionAt(82, 10), -1);  // the gap between two tabs
    EXPECT_EQ(strip.CaptionAt(324, 21), 3);
    EXPECT_EQ(strip.CaptionAt(324, 22), -1); // hidden under the page frame
    EXPECT_EQ(strip.CaptionAt(330, 10), -1); // beyond the last tab
}

TEST(TabStripState, TabCountBounds) {
    TabStripState strip;
    strip.SetSize(385, 445);
    strip.SetTabCount(-5);
    EXPECT_EQ(strip.TabsShown(), 0);
    EXPECT_EQ(strip.CaptionAt(10, 10), -1);
    EXPECT_FALSE(strip.IsPicFixVisible());
    strip.SetTabCount(30000);
    EXPECT_EQ(strip.TabsShown(), kMaxTabs);
    strip.SetTabCount(1);
    strip.OnShow();
    strip.SetTabSelect(3);   // not laid out: nothing carries the look, nothing breaks
    EXPECT_FALSE(strip.IsPicFixVisible());
    EXPECT_EQ(strip.DisplayedTab(), 3);
}

}  // namespace
