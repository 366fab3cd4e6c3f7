// The background cover: its window, resting picture, wipe effects, watchdog and recall of the
// lock window. The window procedure only dispatches, and keeps close, move and title requests
// away.
#include "cover/FrmBackground.h"

#include "core/AppState.h"
#include "core/LockScreenModel.h"
#include "cover/EffectStrips.h"
#include "cover/MonitorCovers.h"
#include "cover/WatchdogPolicy.h"
#include "system/KeyboardLock.h"
#include "system/Restrictions.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "ui/LockSessionHost.h"
#include "ui/WindowClass.h"

namespace {

constexpr char kBackgroundClass[] = "OrvoPCLockBackground";
constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogMs = 50;
// Every fifth tick the screen geometry is compared: within a second of a change every monitor
// is covered again even where no WM_DISPLAYCHANGE arrives (a resized nested X display under
// Wine sends none). Every second tick the windows' state and order are looked at (a window on
// top of ours is below again within 100 ms); the foreground at every tick. Each look asks the
// window server, and at 20 ticks a second that is most of what a locked program costs.
constexpr unsigned kGeometryEveryTicks = 5;
constexpr unsigned kOrderEveryTicks = 2;
// The topmost band is walked this far at most.
constexpr int kMaxBandWindows = 512;
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

// Topmost above every other topmost window, over `rc` (kept where it is when rc is empty: a
// cover without a frame), without taking the focus.
void RaiseOver(HWND hwnd, const RECT& rc) {
    if (!hwnd) return;
    const UINT keep = IsRectEmpty(&rc) ? SWP_NOMOVE | SWP_NOSIZE : 0;
    SetWindowPos(hwnd, HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE | keep);
}

// The focus back to one of our windows. SetFocus alone activates it only inside our own thread's
// idea of activation; when another program took the foreground it must be taken back too. The
// foreground lock is renewed each time: Windows lifts it by itself when the user presses Alt or
// clicks another window.
void GiveFocus(HWND hwnd) {
    if (!hwnd) return;
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    LockSetForegroundWindow(LSFW_LOCK);
}

bool IsShowing(HWND hwnd) { return IsWindowVisible(hwnd) && !IsIconic(hwnd); }

bool HasRect(HWND hwnd, const RECT& wanted) {
    RECT rc;
    // A window that cannot be asked, or a cover without a frame, is not moved on a guess.
    if (IsRectEmpty(&wanted) || !GetWindowRect(hwnd, &rc)) return true;
    return EqualRect(&rc, &wanted) != FALSE;
}

// The topmost band from the top: each of `ours` gets its rank; a visible window of another
// process (an always-on-top window, a notification) counts as foreign. This program's other
// windows (the faded-out lock window) do not count. The band ends at the first window that is
// not topmost.
std::vector<BandWindow> ObserveBand(const std::vector<std::pair<HWND, int>>& ours) {
    const DWORD self = GetCurrentProcessId();
    std::vector<BandWindow> band;
    HWND hwnd = GetTopWindow(nullptr);
    for (int i = 0; hwnd && i < kMaxBandWindows; ++i, hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (!(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) break;
        BandWindow entry;
        for (const auto& [window, rank] : ours)
            if (window == hwnd) entry.rank = rank;
        DWORD process = 0;
        if (entry.rank == BandWindow::kIgnored && IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, &process) &&
            process != self)
            entry.rank = BandWindow::kForeign;
        band.push_back(entry);
    }
    return band;
}

HWND LockWindowHwnd() { return Session().LockWindowHwnd(); }

bool IsTransparent() { return Config.TransparentBackground != 0; }

}  // namespace

struct FrmBackground::Impl {
    LayeredFrame Frame;
    WinTimer WatchdogTimer;
    unsigned ticks = 0;
};

FrmBackground::FrmBackground(const LockScreenModel& model) : model_(model) {}

FrmBackground::~FrmBackground() { Destroy(); }

bool FrmBackground::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    if (!RegisterBackgroundClass(instance, WndProc)) return false;
    const int width = model_.ScreenWidth > 0 ? model_.ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
    const int height = model_.ScreenHeight > 0 ? model_.ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
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
}

LRESULT CALLBACK FrmBackground::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // The window's object is the lock session's and outlives the window.
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
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
        case WM_DISPLAYCHANGE: self->OnDisplayChange(); return 0;
        case WM_SYSCOMMAND:
            if (IsRefusedSystemCommand(wp)) return 0;
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
    const auto& bands = EffectStripBands();
    for (int j = 0; j <= steps; ++j) {
        for (int i = 1; i <= kEffectBands; ++i) {
            if (Gdiplus::CachedBitmap* strip = EffectStrip(j, i))
                graphics->DrawCachedBitmap(strip, bands[i] + kEffectStripWidth * j, 0);
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
    const int steps = EffectStepCount(model_.ScreenWidth);
    const auto bands = CalcEffectBands(model_.ScreenWidth);
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    for (int j = 0; j <= steps; ++j) {
        if (erase) {
            for (int i = 1; i <= kEffectBands; ++i)
                graphics->DrawCachedBitmap(erase, bands[i] + kEffectStripWidth * j, 0);
        }
        frame.ExUpdateGDIPlus(255);
        Sleep(kEffectPauseMs);
    }
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

void FrmBackground::FitScreen(int width, int height) {
    if (!impl_ || width <= 0 || height <= 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    impl_->Frame.CreateGraphic(hwnd_, width, height);
    impl_->Frame.IniForm(hwnd_);
}

// Bottom first: each SetWindowPos to HWND_TOPMOST puts the window above all the others, so the
// last one raised ends on top. Monitor covers lie beside the primary cover, never under it.
void FrmBackground::RaiseInOrder() {
    if (!impl_) return;
    const RECT screen{0, 0, impl_->Frame.Width(), impl_->Frame.Height()};
    const HWND lockWindow = LockWindowHwnd();
    const bool hidden = CurrentLockState().IsLockWindowHidden();
    for (HWND cover : MonitorCoverWindows())
        SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (hidden) RaiseOver(lockWindow, screen);
    RaiseOver(hwnd_, screen);
    if (!hidden) RaiseOver(lockWindow, screen);
}

// The z-order watchdog, every 50 ms while locked.
void FrmBackground::OnWatchdogTick() {
    if (!CurrentLockState().IsLocked()) return;
    RenewKeyboardHookWhenDue();
    // Windows 11 shows a hidden taskbar again by itself; the transparent lock keeps it shown,
    // as HideShell does.
    if (Config.TransparentBackground != 1) HideTaskbars();
    // A changed geometry rebuilds, shows and raises every window itself.
    if (++impl_->ticks % kGeometryEveryTicks == 0 && Session().FollowDisplay()) return;
    HoldWindows(impl_->ticks % kOrderEveryTicks == 0);
}

// Windows sends this after a resolution or orientation change and when a monitor comes or goes.
// While unlocked nothing is done: the next lock reads the screen anyway.
void FrmBackground::OnDisplayChange() {
    if (CurrentLockState().IsLocked()) Session().FollowDisplay();
}

// Looks at every window of ours that should show and mends only what is wrong; a tick that
// finds all in place changes and repaints nothing.
void FrmBackground::HoldWindows(bool lookAtOrder) {
    const bool hidden = CurrentLockState().IsLockWindowHidden();
    const HWND lockWindow = LockWindowHwnd();
    // Rank 0 is on top: the lock window, or this cover while the lock window is faded out.
    std::vector<std::pair<HWND, int>> ours{{hwnd_, hidden ? 0 : 1}};
    if (!hidden && lockWindow) ours.push_back({lockWindow, 0});
    for (HWND cover : MonitorCoverWindows()) ours.push_back({cover, 1});

    WatchdogView view;
    if (lookAtOrder) {
        view.coverMissing = AnyCoverMissing();
        for (const auto& [window, rank] : ours)
            if (!IsShowing(window)) view.notShowing = true;
        view.orderHeld = IsOrderHeld(ObserveBand(ours), static_cast<int>(ours.size()));
        const RECT screen{0, 0, impl_->Frame.Width(), impl_->Frame.Height()};
        view.misplaced = !HasRect(hwnd_, screen) || (!hidden && lockWindow && !HasRect(lockWindow, screen));
    }
    // Any other window with the keyboard, even one of this program's (the faded-out lock window,
    // whose keys belong to this cover meanwhile), gets it taken away.
    const HWND foreground = GetForegroundWindow();
    view.foregroundForeign = true;
    for (const auto& [window, rank] : ours)
        if (foreground == window) view.foregroundForeign = false;

    const WatchdogSteps steps = DecideWatchdogSteps(view);
    if (steps.remakeCovers) RemakeMissingCovers();
    if (steps.show) {
        for (const auto& [window, rank] : ours)
            if (!IsShowing(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    if (steps.raise) RaiseInOrder();
    if (steps.takeFocus) GiveFocus(hidden ? hwnd_ : lockWindow);
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
