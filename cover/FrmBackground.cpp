// The background cover: its window, resting picture, wipe effects, watchdog and recall of the
// lock window. The window procedure only dispatches, and keeps close, move and title requests
// away.
#include "cover/FrmBackground.h"

#include "core/AppState.h"
#include "cover/EffectStrips.h"
#include "cover/MonitorCovers.h"
#include "system/KeyboardLock.h"
#include "system/Restrictions.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "ui/LockSessionHost.h"
#include "ui/SingleWindow.h"

FrmBackground* BackgroundWindow = nullptr;

namespace {
SingleWindow<FrmBackground> TheBackgroundWindow;
}

bool CreateBackgroundWindow(HINSTANCE instance) { return TheBackgroundWindow.Show(instance) != nullptr; }

void CloseBackgroundWindow() { TheBackgroundWindow.Close(); }

namespace {

constexpr char kBackgroundClass[] = "OrvoPCLockBackground";
constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogMs = 50;
constexpr DWORD kEffectPauseMs = 25;
constexpr WPARAM kEnterKey = 13;

bool RegisterBackgroundClass(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kBackgroundClass;
    return EnsureWindowClass(wc);
}

// SetWindowPos with SWP_NOSIZE and without SWP_NOMOVE: the window also goes back to (0, 0).
void PlaceAt(HWND hwnd, HWND insertAfter) {
    if (hwnd) SetWindowPos(hwnd, insertAfter, 0, 0, 0, 0, SWP_NOSIZE);
}

// The focus back to one of our windows. SetFocus alone activates it only inside our own thread's
// idea of activation; when another program took the foreground it must be taken back too.
void GiveFocus(HWND hwnd) {
    if (!hwnd) return;
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
}

HWND LockWindowHwnd() { return Session().LockWindowHwnd(); }

bool IsTransparent() { return Config.TransparentBackground != 0; }

}  // namespace

struct FrmBackground::Impl {
    LayeredFrame Frame;
    WinTimer WatchdogTimer;
};

FrmBackground::~FrmBackground() { Destroy(); }

bool FrmBackground::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    if (!RegisterBackgroundClass(instance, WndProc)) return false;
    const int width = ScreenWidth > 0 ? ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
    const int height = ScreenHeight > 0 ? ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
    impl_ = std::make_unique<Impl>();
    // No title: another process reads a window's title without asking the window, and the cover
    // must tell nobody anything. The tool-window style keeps it off the taskbar.
    hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kBackgroundClass, "", WS_POPUP, 0, 0, width, height,
                            nullptr, nullptr, instance, this);
    if (!hwnd_) {
        impl_.reset();
        return false;
    }
    impl_->Frame.CreateGraphic(hwnd_, width, height);
    impl_->Frame.IniForm(hwnd_);
    // A top-level window of ours: the message window is message-only and gets no broadcasts
    // such as WM_POWERBROADCAST, so the resume and session-unlock notices come here.
    WatchSessionChanges(hwnd_, true);
    // Hidden still: no activation, only the topmost band and the origin.
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    BackgroundWindow = this;
    return true;
}

void FrmBackground::Destroy() {
    if (impl_) impl_->WatchdogTimer.Stop();
    if (hwnd_) {
        WatchSessionChanges(hwnd_, false);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    impl_.reset();   // the frame and its drawing objects
    if (BackgroundWindow == this) BackgroundWindow = nullptr;
}

LRESULT CALLBACK FrmBackground::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) return TheBackgroundWindow.EndWithWindow(hwnd, wp, lp);
    auto* self = WindowObject<FrmBackground>(hwnd, msg, lp);
    // A resume or a session switch may have cost the keyboard hook; the message goes on.
    ReinstallKeyboardHookAfter(msg, wp);
    switch (msg) {
    // The cover cannot be closed (Alt + F4, another program's WM_CLOSE), moved, dragged by its
    // frame, activated through WM_ACTIVATE or renamed, and it tells nobody a title.
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_CLOSE:
    case WM_ACTIVATE:
    case WM_MOVE:
    case WM_NCLBUTTONDOWN: return 0;
    }
    if (self && self->impl_) {
        switch (msg) {
        case WM_LBUTTONUP: self->RecallLockWindow(); return 0;
        case WM_KEYDOWN: self->RecallOnEnter(wp); return 0;
        case WM_MOUSEMOVE: self->NotePointerMove(); return 0;
        case WM_TIMER:
            if (wp == kWatchdogTimer) { self->OnWatchdogTick(); return 0; }
            break;
        // However the window goes, the object no longer holds it.
        case WM_DESTROY:
            self->impl_->WatchdogTimer.Stop();
            self->hwnd_ = nullptr;
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

Gdiplus::Graphics* FrmBackground::Graphics() const {
    return impl_ ? impl_->Frame.Graphics() : nullptr;
}

void FrmBackground::ClearFrame() {
    if (impl_) impl_->Frame.ClearFrame(kClearTransparent);
}

uint32_t FrmBackground::FramePixel(int x, int y) const {
    return impl_ ? impl_->Frame.PixelAt(x, y) : 0;
}

bool FrmBackground::IsWatchdogRunning() const { return impl_ && impl_->WatchdogTimer.IsRunning(); }

void FrmBackground::EnableWatchdog(bool enable) {
    if (!impl_) return;
    if (enable)
        impl_->WatchdogTimer.Start(hwnd_, kWatchdogTimer, kWatchdogMs);
    else
        impl_->WatchdogTimer.Stop();
}

void FrmBackground::IniBackground() {
    if (!impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    // Alpha 1 looks like nothing yet still takes every click meant for the desktop beneath.
    if (IsTransparent()) {
        frame.ClearFrame(kClearAlphaOne);
    } else {
        frame.ClearFrame(kClearOpaqueBlack);
        DrawImage(frame.Graphics(), kSlotBackground, kDrawScaledImage, 0, 0, frame.Width(), frame.Height());
    }
    frame.UpdateGDIPlus();
}

void FrmBackground::IniEffectShow() {
    if (IsTransparent() || !impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    ClearFrame();
    DrawImage(frame.Graphics(), kSlotBackground, kDrawScaledImage, 0, 0, frame.Width(), frame.Height());
    frame.ExUpdateGDIPlus(255);
    DoEvents();
}

// Each band fills from its left edge, 5 pixels a step. Source copy: the strips replace the
// cleared frame instead of blending with it.
void FrmBackground::LockEffectShow() {
    if (IsTransparent() || !impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    Gdiplus::Graphics* graphics = frame.Graphics();
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    ClearFrame();
    const int steps = EffectStripSteps();
    for (int j = 0; j <= steps; ++j) {
        for (int i = 1; i <= kEffectBands; ++i) {
            if (Gdiplus::CachedBitmap* strip = EffectStrip(j, i))
                graphics->DrawCachedBitmap(strip, EffectBandOffsets[i] + kEffectStripWidth * j, 0);
        }
        frame.ExUpdateGDIPlus(255);
        Sleep(kEffectPauseMs);
    }
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

// The erase strip (alpha 1) is copied over the picture band by band, so the desktop comes back
// in the same ten bands while the cover still takes the pointer.
void FrmBackground::UnlockEffectShow() {
    if (IsTransparent() || !impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    Gdiplus::Graphics* graphics = frame.Graphics();
    Gdiplus::CachedBitmap* erase = ImageTable.Cached(kSlotEraseStrip);
    const int steps = EffectStepCount(ScreenWidth);
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    for (int j = 0; j <= steps; ++j) {
        if (erase) {
            for (int i = 1; i <= kEffectBands; ++i)
                graphics->DrawCachedBitmap(erase, EffectBandOffsets[i] + kEffectStripWidth * j, 0);
        }
        frame.ExUpdateGDIPlus(255);
        Sleep(kEffectPauseMs);
    }
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

// The cover, then the lock window above it (or the cover alone while the lock window is faded
// out), back on top of everything, and the focus back with them.
void FrmBackground::ReRaise(bool lockWindowHidden) {
    IniBackground();
    if (lockWindowHidden) {
        PlaceAt(hwnd_, HWND_TOP);
        PlaceAt(hwnd_, HWND_TOPMOST);
        GiveFocus(hwnd_);
    } else {
        const HWND lockWindow = LockWindowHwnd();
        PlaceAt(hwnd_, HWND_TOPMOST);
        PlaceAt(lockWindow, HWND_TOP);
        PlaceAt(lockWindow, HWND_TOPMOST);
        GiveFocus(lockWindow);
    }
}

// The z-order watchdog, every 50 ms while locked.
void FrmBackground::OnWatchdogTick() {
    if (!CurrentLockState().IsLocked()) return;
    RenewKeyboardHookWhenDue();
    // Windows 11 shows a hidden taskbar again by itself; the transparent lock keeps it shown,
    // as HideShell does.
    if (Config.TransparentBackground != 1) HideTaskbars();
    const bool hidden = CurrentLockState().IsLockWindowHidden();
    const HWND foreground = GetForegroundWindow();
    const HWND active = GetActiveWindow();
    const HWND owner = hidden ? hwnd_ : LockWindowHwnd();
    const std::vector<HWND> covers = MonitorCoverWindows();
    auto isCover = [&covers](HWND hwnd) {
        for (HWND cover : covers)
            if (hwnd && hwnd == cover) return true;
        return false;
    };
    auto raiseCovers = [&covers] {
        for (HWND cover : covers) SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    };

    // The window that should have the keyboard has it, or the user works on the second
    // monitor's cover: the order is fine, only the position is checked.
    const bool inOrder = (foreground == owner && active == owner) || isCover(foreground) || isCover(active);
    if (!inOrder) {
        raiseCovers();
        ReRaise(hidden);
    }

    // Moved right or down (the position check ignores who has the foreground).
    RECT rc;
    if (!GetWindowRect(hwnd_, &rc)) return;
    if (rc.left <= 0 && rc.top <= 0) return;
    raiseCovers();
    ReRaise(hidden);
}

// Click or Enter on the cover: the faded-out lock window comes back with a fresh idle screen.
void FrmBackground::RecallLockWindow() {
    Session().ShowIdleLockScreen();
    const HWND lockWindow = LockWindowHwnd();
    PlaceAt(hwnd_, HWND_TOPMOST);
    PlaceAt(lockWindow, HWND_TOP);
    PlaceAt(lockWindow, HWND_TOPMOST);
    GiveFocus(lockWindow);
    Session().NoteActivity();
}

void FrmBackground::RecallOnEnter(WPARAM keyCode) {
    if (keyCode == kEnterKey) RecallLockWindow();
}

// Pointer movement over the cover counts as activity for the monitor switch-off.
void FrmBackground::NotePointerMove() { Session().NoteMonitorOn(); }
