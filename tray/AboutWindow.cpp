// The about window. Its labels and pictures are drawn on the window itself rather than made
// child windows, so the window's own mouse handler decides which part the pointer is over.
#include "tray/AboutWindow.h"

#include <windowsx.h>

#include "resources/resource.h"
#include "system/VersionInfo.h"
#include "ui/ImageTable.h"  // LoadResourcePicture
#include "ui/ShellRun.h"
#include "ui/WindowDpi.h"

namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;   // close box only, fixed size
constexpr int kFontPoints = 9;
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kBandFill = RGB(224, 224, 224);
constexpr COLORREF kBandBorder = RGB(192, 192, 192);
constexpr DpiRect kBandRect{-11, 228, 471, 49};   // Shape1
// Image2, the separator on top of the band: a dark, a light and a mid line (an etched edge).
constexpr COLORREF kSeparatorRows[3] = {RGB(160, 160, 160), RGB(255, 255, 255), RGB(208, 208, 208)};
constexpr DpiRect kOkRect{328, 236, 107, 25};

RECT ToRect(const AboutBox& box) { return RECT{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height}; }
RECT ToRect(const DpiRect& box) { return RECT{box.Left, box.Top, box.Left + box.Width, box.Top + box.Height}; }

UniqueHfont MakeArial(bool underline, int dpi) {
    return UniqueHfont(CreateFontA(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE,
                                   FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, "Arial"));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueHbrush brush(CreateSolidBrush(colour));
    if (brush) FillRect(dc, &rect, brush.get());
}

// The text's size as a label that sizes itself would take it.
SIZE MeasureText(HDC dc, HFONT font, const std::string& text, UINT format) {
    SelectGuard select(dc, font);
    RECT rect{0, 0, 0, 0};
    if (!DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, format | DT_CALCRECT)) return SIZE{0, 0};
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The link under a client point, or -1.
int LinkAt(const AboutLayout& layout, int x, int y) {
    switch (HitTestAbout(layout, x, y)) {
    case AboutTarget::Link0: return 0;
    case AboutTarget::Link1: return 1;
    default: return -1;
    }
}

// Drawn unclipped: under Wine the smoothed glyphs can run a few pixels past the width the same
// font measures, which would cut the labels' last letters.
constexpr UINT kAboutFormat = DT_LEFT | DT_NOPREFIX | DT_NOCLIP;
constexpr UINT kLinkFormat = DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;
// Room right of a link that its repaint covers, for the same overhang.
constexpr int kLinkRepaintSlack = 8;

}  // namespace

// Only for a window that never finished being made: a shown one takes the object with it.
AboutWindow::~AboutWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool AboutWindow::Create(HINSTANCE instance, HMODULE resources, const std::string& versionFile) {
    if (hwnd_) return true;
    resources_ = resources ? resources : instance;
    versionFile_ = versionFile;
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.lpszClassName = kAboutWindowClass;
    if (!RegisterWindowClass(wc)) return false;

    const SIZE frame = FrameSizeForDpi(kFrameStyle, 0, kAboutClientWidth, kAboutClientHeight, kDefaultDpi);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2;
    if (!CreateWindowFor(0, kAboutWindowClass, kAboutCaption, kFrameStyle, x, y, frame.cx, frame.cy, nullptr, nullptr,
                         instance))
        return false;
    // The contents took the DPI of the monitor the window was made on; the frame follows it.
    if (dpi_ != kDefaultDpi) {
        const SIZE scaled = FrameSizeForDpi(kFrameStyle, 0, kAboutClientWidth, kAboutClientHeight, dpi_);
        SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - scaled.cx) / 2,
                     (GetSystemMetrics(SM_CYSCREEN) - scaled.cy) / 2, scaled.cx, scaled.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    return true;
}

LRESULT AboutWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: CreateContents(); return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(hwnd_, &ps)) {
            Paint(dc);
            EndPaint(hwnd_, &ps);
        }
        return 0;
    }
    case WM_MOUSEMOVE: UnderlineLinkUnderPointer(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONDOWN: PressLink(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: OpenLinkReleasedOn(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT && ShowHandOverLink()) return TRUE;
        break;
    case WM_COMMAND:
        // OK closes; the object ends with the window.
        if (LOWORD(wp) == kAboutOkId && HIWORD(wp) == BN_CLICKED) { DestroyWindow(hwnd_); return 0; }
        break;
    case WM_DPICHANGED:
        dpi_ = TakeSuggestedDpiRect(hwnd_, wp, lp);
        LayOut();
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
    case WM_DESTROY: ReleaseContents(); return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void AboutWindow::CreateContents() {
    LoadArtwork();
    aboutText_ = AboutText(ReadFileAppVersion(versionFile_), ReadVersionString(versionFile_, "LegalCopyright"));
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    ok_ = CreateWindowExA(0, "BUTTON", "&OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, kOkRect.Left,
                          kOkRect.Top, kOkRect.Width, kOkRect.Height, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAboutOkId)), instance, nullptr);
    dpi_ = WindowDpi(hwnd_);
    LayOut();
}

// Fonts, the pictures' places, the labels' sizes and the OK button, all at the window's DPI.
// A font that cannot be made leaves the old one in use.
void AboutWindow::LayOut() {
    UniqueHfont font = MakeArial(false, dpi_);
    UniqueHfont linkFont = MakeArial(true, dpi_);
    if (ok_ && font) SendMessageA(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    if (font) font_ = std::move(font);
    if (linkFont) linkFont_ = std::move(linkFont);
    layout_ = ScaleAboutLayout(AboutLayout{}, dpi_);
    MeasureLabels();
    if (ok_ && dpi_ != kDefaultDpi) {
        const DpiRect ok = ScaleRectToDpi(kOkRect, dpi_);
        SetWindowPos(ok_, nullptr, ok.Left, ok.Top, ok.Width, ok.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void AboutWindow::ReleaseContents() {
    ReleaseArtwork();
    ok_ = nullptr;
}

void AboutWindow::LoadArtwork() {
    image1_.reset(static_cast<HBITMAP>(
        LoadImageA(resources_, MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    image3_ = LoadResourcePicture(resources_, ORVO_RES_ABOUT_LOGO);
    hand_ = LoadCursorA(resources_, MAKEINTRESOURCEA(IDC_HANDCURSOR));
    // Without the custom cursor the links still show a hand.
    if (!hand_) hand_ = LoadCursorA(nullptr, IDC_HAND);
}

void AboutWindow::ReleaseArtwork() {
    // The GDI+ picture goes with the window: GDI+ may be shut down before this object is.
    image3_.reset();
    image1_.reset();
    linkFont_.reset();
    font_.reset();
}

void AboutWindow::MeasureLabels() {
    // Measured on the window's own DC, whose glyphs are smoothed as they will be drawn.
    WindowDc dc(hwnd_);
    if (!dc.get() || !font_) return;
    const SIZE about = MeasureText(dc.get(), font_.get(), aboutText_, kAboutFormat);
    layout_.LabAbout.Width = about.cx;
    layout_.LabAbout.Height = about.cy;
    for (int i = 0; i < kAboutLinkCount; ++i) {
        const SIZE link = MeasureText(dc.get(), font_.get(), AboutLinkCaption(i), kLinkFormat);
        layout_.LabHome[static_cast<size_t>(i)].Width = link.cx;
        layout_.LabHome[static_cast<size_t>(i)].Height = link.cy;
    }
}

void AboutWindow::Paint(HDC dc) const {
    const RECT client = ToRect(ScaleRectToDpi(DpiRect{0, 0, kAboutClientWidth, kAboutClientHeight}, dpi_));
    FillSolid(dc, client, RGB(255, 255, 255));
    // Shape1: the grey band with its border.
    {
        UniqueHbrush fill(CreateSolidBrush(kBandFill));
        UniqueHpen border(CreatePen(PS_SOLID, 1, kBandBorder));
        SelectGuard selectFill(dc, fill.get());
        SelectGuard selectBorder(dc, border.get());
        const RECT band = ToRect(ScaleRectToDpi(kBandRect, dpi_));
        Rectangle(dc, band.left, band.top, band.right, band.bottom);
    }
    // Image2 stretched over the band's top edge, each of its three lines as thick as the scale makes it.
    const AboutBox& line = layout_.Image2;
    for (int row = 0; row < 3; ++row) {
        const int top = line.Top + ScaleToDpi(row, dpi_), bottom = line.Top + ScaleToDpi(row + 1, dpi_);
        FillSolid(dc, RECT{line.Left, top, line.Left + line.Width, bottom}, kSeparatorRows[row]);
    }
    // Image1: the 128 x 128 picture.
    if (image1_) {
        UniqueHdc memory(CreateCompatibleDC(dc));
        if (memory) {
            SelectGuard select(memory.get(), image1_.get());
            const AboutBox& box = layout_.Image1;
            BITMAP bm{};
            if (!GetObjectA(image1_.get(), sizeof bm, &bm) || (bm.bmWidth == box.Width && bm.bmHeight == box.Height)) {
                BitBlt(dc, box.Left, box.Top, box.Width, box.Height, memory.get(), 0, 0, SRCCOPY);
            } else {
                SetStretchBltMode(dc, HALFTONE);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                StretchBlt(dc, box.Left, box.Top, box.Width, box.Height, memory.get(), 0, 0, bm.bmWidth, bm.bmHeight,
                           SRCCOPY);
            }
        }
    }
    // Image3: the logo with its transparent parts over the white surface.
    if (image3_) {
        Gdiplus::Graphics graphics(dc);
        if (graphics.GetLastStatus() == Gdiplus::Ok) {
            const AboutBox& box = layout_.Image3;
            graphics.DrawImage(image3_.get(), box.Left, box.Top, box.Width, box.Height);
        }
    }
    // The labels: transparent, the about text black, the links blue.
    SetBkMode(dc, TRANSPARENT);
    if (font_) {
        SelectGuard select(dc, font_.get());
        SetTextColor(dc, kTextColour);
        RECT rect = ToRect(layout_.LabAbout);
        DrawTextA(dc, aboutText_.c_str(), static_cast<int>(aboutText_.size()), &rect, kAboutFormat);
    }
    SetTextColor(dc, kLinkColour);
    for (int i = 0; i < kAboutLinkCount; ++i) {
        HFONT font = links_.Underlined[static_cast<size_t>(i)] ? linkFont_.get() : font_.get();
        if (!font) continue;
        SelectGuard select(dc, font);
        const std::string caption = AboutLinkCaption(i);
        RECT rect = ToRect(layout_.LabHome[static_cast<size_t>(i)]);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, kLinkFormat);
    }
}

// ---- pointer ----

// The link under the pointer is underlined; the bare surface takes every underline away. The
// pictures and the about text take the move for themselves and change nothing.
void AboutWindow::UnderlineLinkUnderPointer(int x, int y) {
    const AboutTarget target = HitTestAbout(layout_, x, y);
    switch (target) {
    case AboutTarget::Link0:
    case AboutTarget::Link1:
    case AboutTarget::Surface: ApplyUnderlineChanges(links_.OnMouseMove(target)); break;
    case AboutTarget::AboutLabel:
    case AboutTarget::Picture: break;
    }
}

void AboutWindow::ApplyUnderlineChanges(uint32_t changed) {
    for (int i = 0; i < kAboutLinkCount; ++i) {
        if (!(changed & (1u << i))) continue;
        RECT rect = ToRect(layout_.LabHome[static_cast<size_t>(i)]);
        rect.right += ScaleToDpi(kLinkRepaintSlack, dpi_);
        InvalidateRect(hwnd_, &rect, TRUE);
    }
}

// A label is clicked when the button goes down and up on it.
void AboutWindow::PressLink(int x, int y) { pressedLink_ = LinkAt(layout_, x, y); }

void AboutWindow::OpenLinkReleasedOn(int x, int y) {
    const int link = LinkAt(layout_, x, y);
    const bool clicked = link >= 0 && link == pressedLink_;
    pressedLink_ = -1;
    if (clicked) OpenLink(link);
}

void AboutWindow::OpenLink(int index) {
    const std::string target = AboutLinkTarget(index);
    // The result is ignored: without a browser or mail program nothing opens, and nothing is said.
    RunShellExecute(nullptr, "open", target.c_str(), "", "", SW_SHOWNORMAL);
}

bool AboutWindow::ShowHandOverLink() {
    POINT at{};
    if (!hand_ || !GetCursorPos(&at) || !ScreenToClient(hwnd_, &at)) return false;
    if (LinkAt(layout_, at.x, at.y) < 0) return false;
    SetCursor(hand_);
    return true;
}
