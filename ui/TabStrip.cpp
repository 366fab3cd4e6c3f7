// The tab strip control: its own window class, painted off screen in one pass (so hovering
// never flickers), with a 10 ms timer that notices the pointer leaving the tab row.
#include "ui/TabStrip.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>

#include "ui/WindowClass.h"
#include "ui/WindowDpi.h"

namespace {

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverCheckInterval = 10;
constexpr COLORREF kBorderColor = RGB(192, 192, 192);
constexpr COLORREF kTabFill = RGB(242, 242, 237);
constexpr COLORREF kLineColor = RGB(224, 224, 224);
constexpr COLORREF kPageFill = RGB(255, 255, 255);
constexpr int kCornerDiameter = 7;
constexpr int kTooltipTab = 2;

const char* const kCaptions[] = {"Reset Pattern", "General", "Background...", "Advanced"};

const char* CaptionText(int tab) {
    return tab >= 0 && tab < static_cast<int>(std::size(kCaptions)) ? kCaptions[tab] : "";
}

COLORREF Blend(COLORREF a, COLORREF b, int step, int steps) {
    if (steps <= 1) return a;
    auto mix = [&](int ca, int cb) { return ca + (cb - ca) * step / (steps - 1); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& rc, COLORREF color) {
    UniqueHbrush brush(CreateSolidBrush(color));
    if (brush) FillRect(dc, &rc, brush.get());
}

// An orange strip, light at the top and deeper below, its upper corners cut so it sits on the
// rounded tab like a cap.
void PaintOrangeStrip(HDC dc, const TabRect& r) {
    const COLORREF top = RGB(255, 200, 60);
    const COLORREF bottom = RGB(230, 139, 44);
    for (int row = 0; row < r.Height; ++row) {
        const int inset = std::max(0, 2 - row);
        RECT line{r.Left + inset, r.Top + row, r.Left + r.Width - inset, r.Top + row + 1};
        FillSolid(dc, line, Blend(top, bottom, row, r.Height));
    }
}

// The colour a window paints its background with: its class brush, a system colour or the
// dialog face when it has none.
COLORREF WindowBackColor(HWND hwnd) {
    const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
    const auto value = reinterpret_cast<UINT_PTR>(brush);
    if (value > 0 && value <= COLOR_MENUBAR + 1) return GetSysColor(static_cast<int>(value - 1));
    LOGBRUSH lb{};
    if (brush && GetObjectA(brush, sizeof lb, &lb) == sizeof lb && lb.lbStyle == BS_SOLID) return lb.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

RECT ToRect(const TabRect& r) { return {r.Left, r.Top, r.Left + r.Width, r.Top + r.Height}; }

}  // namespace

HFONT CreateArialFont(bool bold, int dpi) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(9, dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

struct TabStrip::Look {
    int displayed;
    int16_t select;
    int selectedLeft;
    bool picFix;
    bool hoverVisible;
    int hoverLeft;
    bool operator==(const Look&) const = default;
};

TabStrip::~TabStrip() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool TabStrip::RegisterStripClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kTabStripClassName;
    return RegisterWindowClass(wc);
}

bool TabStrip::Create(HWND parent, int id, int x, int y, int width, int height, int16_t tabCount) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    if (!instance) instance = GetModuleHandleA(nullptr);   // a parent made without one
    if (hwnd_ || !parent || !RegisterStripClass(instance)) return false;
    state_.SetTabCount(tabCount);
    hwnd_ = CreateWindowExA(0, kTabStripClassName, "", WS_CHILD | WS_CLIPSIBLINGS, x, y, width, height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    if (!hwnd_) return false;
    // WM_SHOWWINDOW is what takes the parent's colour and draws the selection.
    ShowWindow(hwnd_, SW_SHOW);
    return true;
}

TabStrip* TabStrip::FromHwnd(HWND hwnd) { return ObjectOf(hwnd, kTabStripClassName); }

LRESULT TabStrip::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:      CreateFontsAndTooltip(); return 0;
    case WM_SIZE:        FitToSize(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_SHOWWINDOW:  if (wp) RefreshOnShow(); break;
    case WM_ERASEBKGND:  return 1;   // WM_PAINT covers every pixel
    case WM_PAINT:       Paint(); return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: SelectTabAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_MOUSEMOVE:   TrackHover(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_TIMER:       if (wp == kHoverTimer) { OnHoverCheckTick(); return 0; } break;
    case WM_DESTROY:     ReleaseTimerAndTooltip(); return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void TabStrip::CreateFonts(int dpi) {
    state_.SetDpi(dpi);
    font_.reset(CreateArialFont(false, dpi));
    boldFont_.reset(CreateArialFont(true, dpi));
}

void TabStrip::SetDpi(int dpi) {
    if (!hwnd_) return;
    CreateFonts(dpi);
    UpdateTooltipRect();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TabStrip::CreateFontsAndTooltip() {
    CreateFonts(WindowDpi(hwnd_));
    backColor_ = GetSysColor(COLOR_BTNFACE);
    RECT rc{};
    if (GetClientRect(hwnd_, &rc)) state_.SetSize(rc.right, rc.bottom);
    if (state_.IsTimerRunning()) hoverTimer_.Start(hwnd_, kHoverTimer, kHoverCheckInterval);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, nullptr, nullptr));
    if (tooltip_) {
        // The version-2 size is understood by every common-controls version (with or without
        // a manifest); the full struct of newer headers is refused by the older one.
        TOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = kTooltipTab;
        ti.lpszText = const_cast<char*>("Background Image");
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        UpdateTooltipRect();
    }
}

void TabStrip::FitToSize(int width, int height) {
    state_.SetSize(width, height);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TabStrip::RefreshOnShow() {
    if (HWND parent = GetParent(hwnd_)) backColor_ = WindowBackColor(parent);
    const Look before = CurrentLook();
    state_.OnShow();
    Refresh(before);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void TabStrip::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    // Off-screen copy of the whole control, blitted in one go.
    UniqueHdc memDc(CreateCompatibleDC(dc));
    UniqueHbitmap bitmap(memDc ? CreateCompatibleBitmap(dc, std::max<LONG>(1, rc.right), std::max<LONG>(1, rc.bottom))
                               : nullptr);
    if (bitmap) {
        SelectGuard select(memDc.get(), bitmap.get());
        PaintTo(memDc.get());
        BitBlt(dc, 0, 0, rc.right, rc.bottom, memDc.get(), 0, 0, SRCCOPY);
    } else {
        PaintTo(dc);   // no memory for the copy: draw directly, flicker and all
    }
    EndPaint(hwnd_, &ps);
}

// Back to front: bodies, captions, the selected strip, the hover strip, the page frame, the
// patch that joins the selected tab to the page, and the light edge lines.
void TabStrip::PaintTo(HDC dc) const {
    RECT all{0, 0, state_.Width(), state_.Height()};
    FillSolid(dc, all, backColor_);
    for (int tab = 0; tab < state_.TabsShown(); ++tab) {
        if (!state_.HasSelectedLook(tab)) PaintBody(dc, tab);
    }
    for (int tab = 0; tab < state_.TabsShown(); ++tab) {
        if (state_.HasSelectedLook(tab)) PaintBody(dc, tab);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int tab = 0; tab < state_.TabsShown(); ++tab) PaintCaption(dc, tab);
    if (state_.IsPicFixVisible()) PaintOrangeStrip(dc, state_.SelectedStripRect());
    if (state_.IsHoverMarkVisible()) PaintOrangeStrip(dc, state_.HoverStripRect());

    const TabRect page = state_.PageRect();
    if (page.Width > 0 && page.Height > 0) {
        UniqueHpen pen(CreatePen(PS_SOLID, 1, kBorderColor));
        UniqueHbrush brush(CreateSolidBrush(kPageFill));
        SelectGuard selectPen(dc, pen.get());
        SelectGuard selectBrush(dc, brush.get());
        Rectangle(dc, page.Left, page.Top, page.Left + page.Width, page.Top + page.Height);
    }
    if (state_.IsPicFixVisible()) FillSolid(dc, ToRect(state_.PicFixRect()), GetSysColor(COLOR_WINDOW));

    UniqueHpen linePen(CreatePen(PS_SOLID, 1, kLineColor));
    SelectGuard selectLine(dc, linePen.get());
    for (const TabLine& line : {state_.BottomLine(), state_.RightLine()}) {
        MoveToEx(dc, line.X1, line.Y1, nullptr);
        LineTo(dc, line.X2, line.Y2);
    }
}

void TabStrip::PaintBody(HDC dc, int tab) const {
    const TabRect r = state_.BodyRect(tab);
    const COLORREF fill = state_.HasSelectedLook(tab) ? GetSysColor(COLOR_WINDOW) : kTabFill;
    UniqueHpen pen(CreatePen(PS_SOLID, 1, kBorderColor));
    UniqueHbrush brush(CreateSolidBrush(fill));
    SelectGuard selectPen(dc, pen.get());
    SelectGuard selectBrush(dc, brush.get());
    const int corner = ScaleToDpi(kCornerDiameter, state_.Dpi());
    RoundRect(dc, r.Left, r.Top, r.Left + r.Width, r.Top + r.Height, corner, corner);
}

void TabStrip::PaintCaption(HDC dc, int tab) const {
    RECT rc = ToRect(state_.CaptionRect(tab));
    SelectGuard selectFont(dc, state_.HasSelectedLook(tab) ? boldFont_.get() : font_.get());
    DrawTextA(dc, CaptionText(tab), -1, &rc, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

TabStrip::Look TabStrip::CurrentLook() const {
    return {state_.DisplayedTab(), state_.TabSelect(), state_.SelectedStripRect().Left, state_.IsPicFixVisible(),
            state_.IsHoverMarkVisible(), state_.HoverStripRect().Left};
}

void TabStrip::Refresh(const Look& before) {
    if (state_.IsTimerRunning() != hoverTimer_.IsRunning()) {
        if (state_.IsTimerRunning()) hoverTimer_.Start(hwnd_, kHoverTimer, kHoverCheckInterval);
        else hoverTimer_.Stop();
    }
    if (!(CurrentLook() == before)) {
        UpdateTooltipRect();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void TabStrip::UpdateTooltipRect() {
    if (!tooltip_ || !hwnd_) return;
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = kTooltipTab;
    if (kTooltipTab < state_.TabsShown()) {
        ti.rect = ToRect(state_.CaptionRect(kTooltipTab));
        ti.rect.bottom = std::min<LONG>(ti.rect.bottom, state_.PageRect().Top);
    }
    SendMessageA(tooltip_.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

// The tab is painted selected before the parent hears of it, so a slow pane switch never shows
// the old tab still selected.
void TabStrip::SelectTabAt(int x, int y) {
    const int tab = state_.CaptionAt(x, y);
    if (tab < 0) return;
    const Look before = CurrentLook();
    if (!state_.PressOnCaption(tab)) return;
    Refresh(before);
    UpdateWindow(hwnd_);
    TabStripNotify notify{};
    notify.Header.hwndFrom = hwnd_;
    notify.Header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    notify.Header.code = kTabStripMouseDown;
    notify.Index = static_cast<int16_t>(tab);
    if (HWND parent = GetParent(hwnd_)) {
        SendMessageA(parent, WM_NOTIFY, notify.Header.idFrom, reinterpret_cast<LPARAM>(&notify));
    }
}

void TabStrip::TrackHover(int x, int y) {
    const Look before = CurrentLook();
    const int tab = state_.CaptionAt(x, y);
    if (tab >= 0) state_.MoveOverCaption(tab);
    else state_.MoveOverSurface();
    Refresh(before);
}

void TabStrip::OnHoverCheckTick() {
    POINT pt{};
    if (!GetCursorPos(&pt) || !ScreenToClient(hwnd_, &pt)) return;   // try again next tick
    const Look before = CurrentLook();
    state_.TimerTick(pt.x, pt.y);
    Refresh(before);
}

void TabStrip::ReleaseTimerAndTooltip() {
    hoverTimer_.Stop();
    tooltip_.reset();
}

void TabStrip::SetTabCount(int16_t tabCount) {
    const Look before = CurrentLook();
    state_.SetTabCount(tabCount);
    Refresh(before);
    UpdateTooltipRect();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TabStrip::SetTabSelect(int16_t tab) {
    const Look before = CurrentLook();
    if (state_.SetTabSelect(tab) && hwnd_) Refresh(before);
}
