// The tab strip's geometry and its selection/hover state machine, apart from any drawing, so the
// rules of the strip (where every part lies, when the container hears of a click, when the hover
// mark goes) are unit-tested natively. Pure: no platform headers.
#pragma once

#include <cstdint>

#include "ui/DpiScale.h"

struct TabRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Contains(int x, int y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
    bool operator==(const TabRect&) const = default;
};

struct TabLine {
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool operator==(const TabLine&) const = default;
};

constexpr int kTabPitch = 81;            // tabs stand 81 px apart
constexpr int kTabRowHeight = 31;        // the pointer counts as on the tab row above this
constexpr int kPageTop = 22;             // the page frame starts here and hides the tabs below
constexpr int kMaxTabs = 16;             // more is never asked for; bounds the per-tab loops

class TabStripState {
public:
    // Inner size of the control; lays it out again.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The display's DPI: every part below is laid out for 96 DPI and scaled to it; 96 by default.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }

    // Index of the last tab laid out (3 means four tabs). Writing lays the strip out again.
    void SetTabCount(int16_t tabCount);
    int16_t TabCount() const { return tabCount_; }
    int TabsShown() const;                       // number of tabs laid out, 0..kMaxTabs

    // Writing the value already held changes nothing and returns false; another value is
    // stored and drawn selected (no event is raised by a write).
    bool SetTabSelect(int16_t tab);
    int16_t TabSelect() const { return tabSelect_; }

    int16_t DisplayedTab() const { return displayedTab_; }
    int16_t HoverTab() const { return hoverTab_; }
    bool IsTimerRunning() const { return timerRunning_; }
    bool IsHoverMarkVisible() const { return hoverMarkVisible_; }

    void ShowSelectedTab(int tab);
    void ShowHoverTab(int tab);
    // Taking the parent's colour and drawing TabSelect as selected, each time it becomes visible.
    void OnShow() { ShowSelectedTab(tabSelect_); }

    // Pointer handling. PressOnCaption returns true when the container must hear MouseDown(tab);
    // by then the tab already carries the selected look.
    bool PressOnCaption(int tab);
    void MoveOverCaption(int tab);
    void MoveOverSurface();
    // The leave timer: x, y is the pointer in client coordinates.
    void TimerTick(int x, int y);
    // Caption under a client position, -1 for none (only the visible part above the page).
    int CaptionAt(int x, int y) const;

    // Geometry of the parts as they are drawn now.
    bool HasSelectedLook(int tab) const { return tab >= 0 && tab == lookTab_; }
    TabRect CaptionRect(int tab) const;
    TabRect BodyRect(int tab) const;
    TabRect SelectedStripRect() const;           // ImgTabSel
    TabRect HoverStripRect() const;              // ImgTabMove
    bool IsPicFixVisible() const { return lookTab_ >= 0; }
    TabRect PicFixRect() const;
    TabRect PageRect() const;                    // PicTab
    TabLine BottomLine() const;                  // LineX
    TabLine RightLine() const;                   // LineY

private:
    void Layout();
    bool IsLaidOut(int tab) const { return tab >= 0 && tab < TabsShown(); }
    int Scaled(int value) const;
    TabRect Scaled(const TabRect& rect) const;

    int width_ = 0;
    int height_ = 0;
    int dpi_ = 96;
    int16_t tabCount_ = 0;
    int16_t tabSelect_ = 0;
    int16_t displayedTab_ = -1;
    int16_t hoverTab_ = -1;
    int lookTab_ = -1;            // the tab that carries the selected look, -1 for none
    int hoverMarkLeft_ = 2;       // at 96 DPI
    bool hoverMarkVisible_ = false;
    bool timerRunning_ = true;    // the leave timer runs from creation
};
