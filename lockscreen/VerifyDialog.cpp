// The verify dialog: its one instance, the window procedure, the drawing of its grid and the
// pointer handlers that take the pattern and check it.
#include "lockscreen/VerifyDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "ui/ResetPatternState.h"
#include "ui/SmallGridDrawing.h"
#include "ui/TabStrip.h"

namespace {

// Posted by a right pattern: the dialog closes and the configuration dialog opens from the
// message loop, not from inside the picture box's pointer handler, whose objects go with the
// dialog.
constexpr UINT WMAPP_VERIFIED = WM_APP + 1;

constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

// ---- window ----

// Only for a window that never finished being made: a shown one takes the object with it.
VerifyDialog::~VerifyDialog() {
    if (hwnd_) {
        // Detached first, so the window procedure does not reach a half-destroyed object.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool VerifyDialog::RegisterVerifyClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = kVerifyClassName;
    return RegisterWindowClass(wc);
}

bool VerifyDialog::Create(HINSTANCE instance) {
    if (hwnd_ || !RegisterVerifyClass(instance)) return false;
    const RECT frame = CentredFrameForDpi(kFrameStyle, kFrameExStyle, kVerifyClientWidth, kVerifyClientHeight,
                                          kDefaultDpi);
    // No owner: the dialog stands on its own in the taskbar and is not hidden with another window.
    if (!CreateWindowFor(kFrameExStyle, kVerifyClassName, kVerifyCaption, kFrameStyle, frame.left, frame.top,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance))
        return false;
    layout_.SetDpi(RecentreFrameForWindowDpi(hwnd_, kVerifyClientWidth, kVerifyClientHeight));
    font_.reset(CreateArialFont(false, layout_.Dpi()));
    CreateControls();
    drag_.Reset(PointCount());
    CreatePens();
    DrawEmptyGrid();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND cancel = GetDlgItem(hwnd_, kIdCmdCancel)) SetFocus(cancel);
    return true;
}

HWND VerifyDialog::AddControl(const char* className, const char* text, DWORD style, int id, const DpiRect& rect96) {
    const DpiRect at = layout_.Scale(rect96);
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, at.Left, at.Top, at.Width,
                                   at.Height, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    layout_.Remember(control, rect96);
    if (control && font_) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

// The grid keeps its picture at 96-DPI size, where the shared small-grid layout applies; the
// box shows it at the dialog's scale and hands the pointer back in picture pixels.
void VerifyDialog::CreateControls() {
    AddControl(WC_STATICA, "Please enter your secret pattern", SS_NOPREFIX, kIdVerifyLabel1, {90, 10, 174, 15});
    AddControl(WC_BUTTONA, "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, kIdCmdCancel, {136, 372, 90, 23});
    picVerify_.Create(hwnd_, kIdPicVerify, 17, 37, kSmallBoxSize, kSmallBoxSize);
    layout_.Place(picVerify_.Hwnd(), {17, 37, kSmallBoxSize, kSmallBoxSize});
    picVerify_.OnMouseDown = [this](int, int, int x, int y) { StartEntry(x, y); };
    picVerify_.OnMouseMove = [this](int, int, int x, int y) { ExtendEntry(x, y); };
    picVerify_.OnMouseUp = [this](int, int, int, int) { CheckEntryAfterPause(); };
}

LRESULT VerifyDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    // Cancel, Esc and the close box close the dialog; the object ends with its window.
    case WM_COMMAND:
        if (LOWORD(wp) == kIdCmdCancel && HIWORD(wp) == BN_CLICKED) DestroyWindow(hwnd_);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd_);
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(TakeSuggestedDpiRect(hwnd_, wp, lp));
        return 0;
    case WMAPP_VERIFIED:
        OpenConfiguration();   // this object is gone afterwards
        return 0;
    case WM_DESTROY:
        ReleasePensAndPages();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

// The old font goes only after no control uses it any more.
void VerifyDialog::OnDpiChanged(int dpi) {
    UniqueHfont font(CreateArialFont(false, dpi));
    layout_.Rescale(dpi, font ? font.get() : font_.get());
    if (font) font_ = std::move(font);
}

// ---- drawing objects ----

void VerifyDialog::CreatePens() {
    if (picVerify_.Dc()) {
        verifyGraphics_ = NewGdiPlus<Gdiplus::Graphics>(picVerify_.Dc());
        if (verifyGraphics_) {
            verifyGraphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            verifyGraphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        }
    }
    pen_ = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(0xFF003FFF), 19.0f);
}

// The dialog may have held the only references to large pictures; giving the pages back now
// keeps the resident program small while it waits in the tray.
void VerifyDialog::ReleasePensAndPages() {
    pen_.reset();
    verifyGraphics_.reset();
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

// ---- drawing ----

void VerifyDialog::DrawGrid() {
    DrawSmallGrid(verifyGraphics_.get(), images_, Layout(), Layout().GridSide);
}

void VerifyDialog::DrawEmptyGrid() {
    DrawGrid();
    if (verifyGraphics_) verifyGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picVerify_.Refresh();
}

void VerifyDialog::DrawEntry() {
    DrawGrid();
    const auto& slots = drag_.Entry().Slots();
    const int count = std::min(PointCount(), static_cast<int>(slots.size()) - 1);
    DrawSmallTrail(verifyGraphics_.get(), images_, pen_.get(), Layout(),
                   ShownSequence(slots.data(), count, Layout().GridSide));
    if (verifyGraphics_) verifyGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picVerify_.Refresh();
}

// ---- pointer ----

// Every press starts a new entry, sized for the grid in force now (the configuration dialog
// may have changed it while this dialog stayed open).
void VerifyDialog::StartEntry(int x, int y) {
    drag_.Reset(PointCount());
    if (drag_.Press(HitTestSmallPoint(Layout(), x, y))) DrawEntry();
}

void VerifyDialog::ExtendEntry(int x, int y) {
    if (drag_.IsDrawing() && drag_.Move(HitTestSmallPoint(Layout(), x, y))) DrawEntry();
}

// The drawn trail stays in view for a moment before the check; the wait blocks on purpose, so
// nothing drawn meanwhile can change the entry being checked.
void VerifyDialog::CheckEntryAfterPause() {
    if (!drag_.IsDrawing()) return;
    Sleep(kVerifyCheckDelayMs);
    CheckSecretPattern();
    drag_.Release();
}

// Always point numbers, whatever the unlock mode, and no count of wrong attempts.
void VerifyDialog::CheckSecretPattern() {
    const std::string stored =
        StoredPatternText(config_, Layout().GridSide, kNormalUnlockMode, settings_.Model().PointLetters);
    const std::string entered = EnteredPatternText(drag_.Entry());
    if (PatternTextsMatch(stored, entered)) {
        PostMessageA(hwnd_, WMAPP_VERIFIED, 0, 0);
    } else {
        DrawEmptyGrid();
    }
}

// Nothing of this object may be used after DestroyWindow: the object goes with its window.
void VerifyDialog::OpenConfiguration() {
    WindowDirectory& windows = windows_;
    DestroyWindow(hwnd_);
    windows.ShowConfigDialog();
}
