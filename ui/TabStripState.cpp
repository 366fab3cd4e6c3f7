// Geometry and state of the tab strip. The TabStrip window draws exactly what this says and feeds
// it the pointer; nothing here knows about windows.
#include "ui/TabStripState.h"

#include <algorithm>

namespace {
constexpr int kCaptionWidth = 80;
constexpr int kCaptionHeight = 20;
constexpr int kCaptionTop = 5;
constexpr int kSelectedCaptionTop = 4;
constexpr int kBodyHeight = 27;
constexpr int kSelectedBodyWidth = 84;
constexpr int kSelectedStripHeight = 4;
constexpr int kHoverStripTop = 2;
constexpr int kHoverStripHeight = 3;
constexpr int kPicFixWidth = 82;
constexpr int kPicFixHeight = 2;
constexpr int kRightLineTop = 24;
}  // namespace

void TabStripState::SetSize(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    Layout();
}

void TabStripState::SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : kDefaultDpi; }

int TabStripState::Scaled(int value) const { return ScaleToDpi(value, dpi_); }

TabRect TabStripState::Scaled(const TabRect& rect) const {
    const DpiRect r = ScaleRectToDpi(DpiRect{rect.Left, rect.Top, rect.Width, rect.Height}, dpi_);
    return {r.Left, r.Top, r.Width, r.Height};
}

void TabStripState::SetTabCount(int16_t tabCount) {
    tabCount_ = tabCount;
    Layout();
}

int TabStripState::TabsShown() const {
    if (tabCount_ < 0) return 0;
    return std::min(static_cast<int>(tabCount_) + 1, kMaxTabs);
}

// Every tab goes back to its normal look and TabSelect gets the selected one; the hover mark
// keeps its place until the pointer moves.
void TabStripState::Layout() {
    lookTab_ = IsLaidOut(tabSelect_) ? tabSelect_ : -1;
}

bool TabStripState::SetTabSelect(int16_t tab) {
    if (tab == tabSelect_) return false;
    tabSelect_ = tab;
    ShowSelectedTab(tab);
    return true;
}

// The look of only one tab is ever "selected": taking it from the tab that had it also covers
// a TabSelect written before the first showing, when DisplayedTab is still -1 but the layout
// has already given TabSelect the selected look.
void TabStripState::ShowSelectedTab(int tab) {
    hoverMarkVisible_ = false;
    if (displayedTab_ == tab) return;
    lookTab_ = IsLaidOut(tab) ? tab : -1;
    displayedTab_ = static_cast<int16_t>(tab);
}

void TabStripState::ShowHoverTab(int tab) {
    if (tab == displayedTab_) {
        hoverMarkVisible_ = false;
        timerRunning_ = false;
    } else {
        timerRunning_ = true;
        hoverMarkLeft_ = kTabPitch * tab + 2;
        hoverMarkVisible_ = true;
    }
    hoverTab_ = static_cast<int16_t>(tab);
}

bool TabStripState::PressOnCaption(int tab) {
    if (tab == displayedTab_) return false;
    ShowSelectedTab(tab);
    SetTabSelect(static_cast<int16_t>(tab));
    return true;
}

void TabStripState::MoveOverCaption(int tab) {
    if (tab != hoverTab_) ShowHoverTab(tab);
}

void TabStripState::MoveOverSurface() {
    hoverMarkVisible_ = false;
    hoverTab_ = -1;
    timerRunning_ = false;
}

// The right edge is inclusive (x == W still counts) while the row ends before y == 31: the
// pointer can sit on the control's last column, but the pages begin below the tab row.
void TabStripState::TimerTick(int x, int y) {
    if (x >= 0 && x <= width_ && y >= 0 && y < Scaled(kTabRowHeight)) return;
    MoveOverSurface();
}

// Only the part of a caption above the page frame can be seen, so only that part is a target.
int TabStripState::CaptionAt(int x, int y) const {
    if (y >= Scaled(kPageTop)) return -1;
    for (int tab = 0; tab < TabsShown(); ++tab) {
        if (CaptionRect(tab).Contains(x, y)) return tab;
    }
    return -1;
}

TabRect TabStripState::CaptionRect(int tab) const {
    const int top = HasSelectedLook(tab) ? kSelectedCaptionTop : kCaptionTop;
    return Scaled(TabRect{kTabPitch * tab + 2, top, kCaptionWidth, kCaptionHeight});
}

TabRect TabStripState::BodyRect(int tab) const {
    if (HasSelectedLook(tab)) return Scaled(TabRect{kTabPitch * tab, 0, kSelectedBodyWidth, kBodyHeight});
    return Scaled(TabRect{kTabPitch * tab + 2, 2, kCaptionWidth, kBodyHeight});
}

TabRect TabStripState::SelectedStripRect() const {
    const int left = lookTab_ >= 0 ? kTabPitch * lookTab_ : 1;
    return Scaled(TabRect{left, 0, kSelectedBodyWidth, kSelectedStripHeight});
}

TabRect TabStripState::HoverStripRect() const {
    return Scaled(TabRect{hoverMarkLeft_, kHoverStripTop, kCaptionWidth, kHoverStripHeight});
}

TabRect TabStripState::PicFixRect() const {
    const int left = lookTab_ >= 0 ? kTabPitch * lookTab_ + 1 : 3;
    return Scaled(TabRect{left, kPageTop, kPicFixWidth, kPicFixHeight});
}

TabRect TabStripState::PageRect() const {
    // The frame ends on the last row whatever the scale; only its top follows the DPI.
    const int top = Scaled(kPageTop);
    return {0, top, std::max(0, width_ - 1), std::max(0, height_ - 1 - top)};
}

TabLine TabStripState::BottomLine() const { return {Scaled(2), height_ - 1, width_, height_ - 1}; }

TabLine TabStripState::RightLine() const { return {width_ - 1, Scaled(kRightLineTop), width_ - 1, height_}; }
