// The tab strip control of the configuration dialog: a row of tabs over a framed page area, an
// orange strip on the selected tab and on the tab under the pointer, and a notification to the
// parent when the user picks another tab. It holds no pages; the parent lays its panes over
// the page area and brings the right one forward when told.
#pragma once

#include <windows.h>

#include <cstdint>

#include "system/WinHandles.h"
#include "ui/TabStripState.h"
#include "ui/Window.h"

inline constexpr char kTabStripClassName[] = "OrvoXPTab";

// WM_NOTIFY code sent to the parent: the MouseDown event. The tab is already drawn selected.
constexpr UINT kTabStripMouseDown = 1;
struct TabStripNotify {
    NMHDR Header;
    int16_t Index;   // the tab pressed; the parent may read it only
};

// Arial 9 pt at dpi, the font of the dialog and its controls.
HFONT CreateArialFont(bool bold, int dpi);

class TabStrip : public Window<TabStrip> {
public:
    TabStrip() = default;
    ~TabStrip();

    // A visible child of parent with the given control id and four tabs by default.
    bool Create(HWND parent, int id, int x, int y, int width, int height, int16_t tabCount);
    static TabStrip* FromHwnd(HWND hwnd);

    void SetTabCount(int16_t tabCount);
    int16_t TabCount() const { return state_.TabCount(); }
    void SetTabSelect(int16_t tab);
    // The parent moved to a monitor of another DPI (the strip takes its parent's DPI when made).
    void SetDpi(int dpi);
    int16_t TabSelect() const { return state_.TabSelect(); }
    const TabStripState& State() const { return state_; }
    HWND Tooltip() const { return tooltip_.get(); }

private:
    friend class Window<TabStrip>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    static bool RegisterStripClass(HINSTANCE instance);

    void CreateFontsAndTooltip();
    void CreateFonts(int dpi);
    void FitToSize(int width, int height);
    void RefreshOnShow();
    void Paint();
    void SelectTabAt(int x, int y);
    void TrackHover(int x, int y);
    void OnHoverCheckTick();
    void ReleaseTimerAndTooltip();

    void PaintTo(HDC dc) const;
    void PaintBody(HDC dc, int tab) const;
    void PaintCaption(HDC dc, int tab) const;
    void UpdateTooltipRect();
    // Brings the window timer, the picture and the tooltip in line with the state after a change.
    struct Look;
    Look CurrentLook() const;
    void Refresh(const Look& before);

    TabStripState state_;
    WinTimer hoverTimer_;
    UniqueHfont font_;
    UniqueHfont boldFont_;
    UniqueHwnd tooltip_;
    COLORREF backColor_ = 0;
};
