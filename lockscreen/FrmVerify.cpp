// The verify dialog: its one instance, the window procedure, the drawing of its grid and the
// pointer handlers that take the pattern and check it.
#include "lockscreen/FrmVerify.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "core/AppState.h"
#include "ui/LockSessionHost.h"
#include "ui/ResetPatternState.h"
#include "ui/SmallGridDrawing.h"
#include "ui/WindowClass.h"
#include "ui/XPTab.h"

namespace {

// Posted by a right pattern: the dialog closes and the configuration dialog opens from the
// message loop, not from inside the picture box's pointer handler, whose objects go with the
// dialog.
constexpr UINT WMAPP_VERIFIED = WM_APP + 1;

std::unique_ptr<FrmVerify> Instance;

int PointCount() { return Layout.GridSide * Layout.GridSide; }

// The outer size of a window whose client area is width x height.
SIZE OuterSize(DWORD style, DWORD exStyle, int width, int height) {
    RECT rc{0, 0, width, height};
    if (!AdjustWindowRectEx(&rc, style, FALSE, exStyle)) return {width, height};
    return {rc.right - rc.left, rc.bottom - rc.top};
}

}  // namespace

// ---- the one instance ----

void ShowVerifyDialog() {
    if (Instance && Instance->Hwnd()) {
        HWND hwnd = Instance->Hwnd();
        if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        return;
    }
    Instance = std::make_unique<FrmVerify>();
    FrmVerify* created = Instance.get();
    if (!created->Create(GetModuleHandleA(nullptr)) && Instance.get() == created) Instance.reset();
}

void CloseVerifyDialog() {
    if (Instance && Instance->Hwnd()) SendMessageA(Instance->Hwnd(), WM_CLOSE, 0, 0);
    Instance.reset();
}

HWND VerifyDialogHwnd() {
    return Instance ? Instance->Hwnd() : nullptr;
}

const FrmVerify* VerifyDialogInstance() {
    return Instance.get();
}

bool IsVerifyDialogMessage(MSG* msg) { return IsDialogKeyMessage(VerifyDialogHwnd(), msg); }

// ---- window ----

FrmVerify::~FrmVerify() {
    if (hwnd_) {
        // Only when creation failed half-way: detach so the window procedure does not reach a
        // half-destroyed object.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool FrmVerify::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = kVerifyClassName;
    return EnsureWindowClass(wc);
}

bool FrmVerify::Create(HINSTANCE instance) {
    if (hwnd_ || !RegisterWindowClass(instance)) return false;
    font_.reset(CreateArialFont(false));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const SIZE outer = OuterSize(style, exStyle, kVerifyClientWidth, kVerifyClientHeight);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);   // keeps the screen rectangle on failure
    const int x = work.left + (work.right - work.left - outer.cx) / 2;
    const int y = work.top + (work.bottom - work.top - outer.cy) / 2;
    // No owner: the dialog stands on its own in the taskbar and is not hidden with another window.
    hwnd_ = CreateWindowExA(exStyle, kVerifyClassName, kVerifyCaption, style, x, y, outer.cx, outer.cy, nullptr,
                            nullptr, instance, this);
    if (!hwnd_) return false;
    CreateControls();
    Form_Load();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND cancel = GetDlgItem(hwnd_, kIdCmdCancel)) SetFocus(cancel);
    return true;
}

void FrmVerify::CreateControls() {
    HWND label = CreateWindowExA(0, WC_STATICA, "Please enter your secret pattern", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                 90, 10, 174, 15, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdVerifyLabel1)), nullptr, nullptr);
    HWND cancel = CreateWindowExA(0, WC_BUTTONA, "&Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 136,
                                  372, 90, 23, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdCmdCancel)),
                                  nullptr, nullptr);
    for (HWND control : {label, cancel}) {
        if (control && font_) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    picVerify_.Create(hwnd_, kIdPicVerify, 17, 37, kSmallBoxSize, kSmallBoxSize);
    picVerify_.OnMouseDown = [this](int, int, int x, int y) { PicVerify_MouseDown(x, y); };
    picVerify_.OnMouseMove = [this](int, int, int x, int y) { PicVerify_MouseMove(x, y); };
    picVerify_.OnMouseUp = [this](int, int, int, int) { PicVerify_MouseUp(); };
}

LRESULT CALLBACK FrmVerify::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = WindowObject<FrmVerify>(hwnd, msg, lp);
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == kIdCmdCancel && HIWORD(wp) == BN_CLICKED) self->CmdCancel_Click();
        return 0;
    case WMAPP_VERIFIED:
        self->OnVerified();   // this object is gone afterwards
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        self->Form_Unload();
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcA(hwnd, msg, wp, lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        if (Instance.get() == self) Instance.reset();   // the dialog object ends with its window
        return result;
    }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// ---- load and unload ----

void FrmVerify::Form_Load() {
    IniConfigData();
    CreateGDI();
    VerifyPatternNormal();
}

// The dialog may have held the only references to large pictures; giving the pages back now
// keeps the resident program small while it waits in the tray.
void FrmVerify::Form_Unload() {
    ReleaseGDI();
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void FrmVerify::IniConfigData() {
    drag_.Reset(PointCount());
}

void FrmVerify::CreateGDI() {
    if (picVerify_.Dc()) {
        verifyGraphics_ = NewGdiPlus<Gdiplus::Graphics>(picVerify_.Dc());
        if (verifyGraphics_) {
            verifyGraphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            verifyGraphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        }
    }
    pen_ = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(0xFF003FFF), 19.0f);
}

void FrmVerify::ReleaseGDI() {
    pen_.reset();
    verifyGraphics_.reset();
}

// ---- drawing ----

void FrmVerify::DrawGrid() {
    DrawSmallGrid(verifyGraphics_.get(), Layout, Layout.GridSide);
}

void FrmVerify::VerifyPatternNormal() {
    DrawGrid();
    if (verifyGraphics_) verifyGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picVerify_.Refresh();
}

void FrmVerify::VerifyPatternAction() {
    DrawGrid();
    const auto& slots = drag_.Entry().Slots();
    const int count = std::min(PointCount(), static_cast<int>(slots.size()) - 1);
    DrawSmallTrail(verifyGraphics_.get(), pen_.get(), Layout, ShownSequence(slots.data(), count, Layout.GridSide));
    if (verifyGraphics_) verifyGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picVerify_.Refresh();
}

// ---- pointer ----

// Every press starts a new entry, sized for the grid in force now (the configuration dialog
// may have changed it while this dialog stayed open).
void FrmVerify::PicVerify_MouseDown(int x, int y) {
    drag_.Reset(PointCount());
    if (drag_.Press(HitTestSmallPoint(Layout, x, y))) VerifyPatternAction();
}

void FrmVerify::PicVerify_MouseMove(int x, int y) {
    if (drag_.IsDrawing() && drag_.Move(HitTestSmallPoint(Layout, x, y))) VerifyPatternAction();
}

// The drawn trail stays in view for a moment before the check; the wait blocks on purpose, so
// nothing drawn meanwhile can change the entry being checked.
void FrmVerify::PicVerify_MouseUp() {
    if (!drag_.IsDrawing()) return;
    Sleep(kVerifyCheckDelayMs);
    CheckSecretPattern();
    drag_.Release();
}

// Always point numbers, whatever the unlock mode, and no count of wrong attempts.
void FrmVerify::CheckSecretPattern() {
    const std::string stored = StoredPatternText(Config, Layout.GridSide, kNormalUnlockMode, PointLetters);
    const std::string entered = EnteredPatternText(drag_.Entry());
    if (PatternTextsMatch(stored, entered)) {
        PostMessageA(hwnd_, WMAPP_VERIFIED, 0, 0);
    } else {
        VerifyPatternNormal();
    }
}

void FrmVerify::CmdCancel_Click() {
    DestroyWindow(hwnd_);   // unload; this object is gone afterwards
}

void FrmVerify::OnVerified() {
    DestroyWindow(hwnd_);
    Session().ShowConfigDialog();
}
