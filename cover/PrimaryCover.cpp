// The background cover: its window, resting picture, wipe effects, watchdog and recall of the
// lock window. The window procedure only dispatches, and keeps close, move and title requests
// away.
#include "cover/PrimaryCover.h"

#include <algorithm>

#include "core/LockScreenModel.h"
#include "cover/EffectStrips.h"
#include "cover/MonitorCovers.h"
#include "cover/WatchdogPolicy.h"
#include "system/KeyboardLock.h"
#include "system/PowerActions.h"
#include "system/Restrictions.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "ui/TabletGestures.h"
#include "ui/WindowClass.h"

namespace {

constexpr char kBackgroundClass[] = "OrvoPCLockBackground";
constexpr UINT_PTR kWatchdogTimer = 1, kLookTimer = 2;
// While locked the watchdog waits for the system's window events (another window shown, made,
// raised or given the foreground; one of ours hidden or destroyed) and looks at the windows
// then. The slow poll is the net under them: it also compares the screen's geometry, since not
// every system sends WM_DISPLAYCHANGE (a resized nested X display under Wine sends none).
constexpr UINT kWatchdogMs = 500;
// The events of one change come in a burst (made, shown, raised, foreground): one look after it.
constexpr UINT kLookDelayMs = 10;
// The topmost band is walked this far at most.
constexpr int kMaxBandWindows = 512;
constexpr DWORD kEffectPauseMs = 25;

void DescribeCoverClass(HINSTANCE instance, WNDCLASSEXA& wc) {
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kBackgroundClass;
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

// DWMWA_CLOAKED: the desktop window manager hides the window itself (an app on another virtual
// desktop, a suspended store app). dwmapi.dll is looked up at run time: it is missing where
// composition never existed, and then nothing is cloaked.
bool IsCloaked(HWND hwnd) {
    using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    static const auto getAttribute = [] {
        HMODULE dwm = LoadLibraryA("dwmapi.dll");   // kept loaded for the program's life
        FARPROC found = dwm ? GetProcAddress(dwm, "DwmGetWindowAttribute") : nullptr;
        return reinterpret_cast<DwmGetWindowAttributeFn>(reinterpret_cast<void (*)()>(found));
    }();
    constexpr DWORD kDwmwaCloaked = 14;
    DWORD cloaked = 0;
    return getAttribute && SUCCEEDED(getAttribute(hwnd, kDwmwaCloaked, &cloaked, sizeof cloaked)) && cloaked != 0;
}

bool IsOtherIntruder(HWND hwnd) {
    OtherWindowLook look;
    look.exStyle = static_cast<uint32_t>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
    RECT rc;
    if (GetWindowRect(hwnd, &rc)) {
        look.width = rc.right - rc.left;
        look.height = rc.bottom - rc.top;
    }
    // Asked last: the cheap looks settle most windows.
    look.cloaked = IsIntruder(look) && IsCloaked(hwnd);
    return IsIntruder(look);
}

// The topmost band from the top: each of `ours` gets its rank; a visible window of another
// process (an always-on-top window, a notification) counts as foreign unless IsIntruder says
// it keeps nothing from the user. This program's other
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
            process != self && IsOtherIntruder(hwnd))
            entry.rank = BandWindow::kForeign;
        band.push_back(entry);
    }
    return band;
}

}  // namespace

struct PrimaryCover::Impl {
    LayeredFrame Frame;
    bool presentsPicture = false;   // the window shows the background picture, not Frame
    WinTimer WatchdogTimer;
    UniqueWinEventHook foregroundHook;
    UniqueWinEventHook windowHook;
    UniqueWinEventHook minimizeHook;
    ForegroundEpisode foreground;
};

namespace {

// The cover whose watchdog runs; the event hooks have no context of their own.
HWND WatchingCover = nullptr;

// Of a window's own objects (caret, scroll bars) only the window itself counts, and of windows
// only top-level ones; a destroyed window has no parent left to ask. A reorder names the parent
// whose children moved, which is the desktop for top-level windows.
bool IsWindowLevelEvent(DWORD event, HWND hwnd, LONG object) {
    switch (event) {
    case EVENT_SYSTEM_FOREGROUND:
    case EVENT_SYSTEM_MINIMIZESTART:
    case EVENT_OBJECT_REORDER: return true;
    case EVENT_OBJECT_DESTROY: return object == OBJID_WINDOW;
    default: return object == OBJID_WINDOW && GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow();
    }
}

// Out of context: the system posts the event to this thread, which runs the callback while it
// reads its messages. The look comes a moment later, once for the whole burst.
void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (WatchingCover && hwnd && IsWindowLevelEvent(event, hwnd, object))
        SetTimer(WatchingCover, kLookTimer, kLookDelayMs, nullptr);
}

}  // namespace

PrimaryCover::PrimaryCover(const ConfigData& config, const LockScreenModel& model, ImageTable& images,
                           const EffectStrips& strips, const LockControl& lock, ActivityNotes& notes,
                           WindowDirectory& windows, MonitorCovers& furtherCovers)
    : config_(config),
      model_(model),
      images_(images),
      strips_(strips),
      lock_(lock),
      notes_(notes),
      windows_(windows),
      furtherCovers_(furtherCovers) {}

PrimaryCover::~PrimaryCover() { Destroy(); }

bool PrimaryCover::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    WNDCLASSEXA wc{};
    DescribeCoverClass(instance, wc);
    if (!RegisterWindowClass(wc)) return false;
    const int width = ScreenWidth(), height = ScreenHeight();
    impl_ = std::make_unique<Impl>();
    // No title: another process reads a window's title without asking the window, and the cover
    // must tell nobody anything. The tool-window style keeps it off the taskbar.
    if (!CreateWindowFor(WS_EX_TOOLWINDOW, kBackgroundClass, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                         instance)) {
        impl_.reset();
        return false;
    }
    // A one-pixel frame until the first lock: unlocked, the cover keeps nothing of the screen's size.
    impl_->Frame.CreateGraphic(hwnd_, 1, 1);
    impl_->Frame.MakeLayered(hwnd_);
    // A top-level window of ours: the message window is message-only and gets no broadcasts
    // such as WM_POWERBROADCAST, so the resume and session-unlock notices come here.
    WatchSessionChanges(hwnd_, true);
    // Hidden still: no activation, only the topmost band and the origin.
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

void PrimaryCover::Destroy() {
    EnableWatchdog(false);
    if (hwnd_) {
        WatchSessionChanges(hwnd_, false);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
    impl_.reset();   // the frame and its drawing objects
}

// The window's object is the lock session's and outlives the window.
LRESULT PrimaryCover::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
    case kTabletQuerySystemGestureStatus: return kTabletGesturesOff;
    }
    if (impl_) {
        switch (msg) {
        case WM_LBUTTONUP: RecallLockWindow(); return 0;
        case WM_KEYDOWN: RecallOnEnter(wp); return 0;
        case WM_MOUSEMOVE: NotePointerMove(); return 0;
        case WM_TIMER:
            if (wp == kWatchdogTimer) { OnWatchdogTick(); return 0; }
            if (wp == kLookTimer) { OnWindowEvents(); return 0; }
            break;
        case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
        case WM_SYSCOMMAND:
            if (IsRefusedSystemCommand(wp)) return 0;
            break;
        case WM_DESTROY: EnableWatchdog(false); return 0;
        }
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

Gdiplus::Graphics* PrimaryCover::Graphics() const {
    return impl_ ? impl_->Frame.Graphics() : nullptr;
}

void PrimaryCover::ClearFrame() {
    if (impl_) impl_->Frame.ClearFrame(kClearTransparent);
}

// The rectangle of what the window was last given: the picture's or the frame's size.
RECT PrimaryCover::ShownRect() const {
    if (!impl_) return RECT{};
    if (impl_->presentsPicture) {
        if (const DibSurface* picture = images_.Background()) return RECT{0, 0, picture->Width(), picture->Height()};
    }
    return RECT{0, 0, impl_->Frame.Width(), impl_->Frame.Height()};
}

uint32_t PrimaryCover::FramePixel(int x, int y) const {
    if (!impl_) return 0;
    if (impl_->presentsPicture) {
        const DibSurface* picture = images_.Background();
        return picture ? picture->PixelAt(x, y) : 0;
    }
    return impl_->Frame.PixelAt(x, y);
}

bool PrimaryCover::IsWatchdogRunning() const { return impl_ && impl_->WatchdogTimer.IsRunning(); }

void PrimaryCover::EnableWatchdog(bool enable) {
    if (!impl_) return;
    impl_->foregroundHook.reset();
    impl_->windowHook.reset();
    impl_->minimizeHook.reset();
    if (hwnd_) KillTimer(hwnd_, kLookTimer);
    WatchingCover = nullptr;
    if (!enable) {
        impl_->WatchdogTimer.Stop();
        return;
    }
    impl_->foreground = ForegroundEpisode{};
    impl_->WatchdogTimer.Start(hwnd_, kWatchdogTimer, kWatchdogMs);
    WatchingCover = hwnd_;
    // Our own windows' events count too: another program may hide or destroy one of them.
    impl_->foregroundHook.reset(SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                                OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT));
    impl_->windowHook.reset(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_REORDER, nullptr, OnWindowEvent, 0, 0,
                                            WINEVENT_OUTOFCONTEXT));
    impl_->minimizeHook.reset(SetWinEventHook(EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZESTART, nullptr,
                                              OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT));
}

// The frame at the screen's size, made again when the last unlock gave it back.
int PrimaryCover::ScreenWidth() const {
    return model_.ScreenWidth > 0 ? model_.ScreenWidth : GetSystemMetrics(SM_CXSCREEN);
}

int PrimaryCover::ScreenHeight() const {
    return model_.ScreenHeight > 0 ? model_.ScreenHeight : GetSystemMetrics(SM_CYSCREEN);
}

void PrimaryCover::FitFrameToScreen() {
    if (!impl_) return;
    LayeredFrame& frame = impl_->Frame;
    const int width = ScreenWidth(), height = ScreenHeight();
    if (frame.IsReady() && frame.Width() == width && frame.Height() == height) return;
    frame.CreateGraphic(hwnd_, width, height);
    frame.MakeLayered(hwnd_);
}

// Unlocked, the hidden cover gives its full-screen frame back; a one-pixel frame keeps the
// graphics the wipe strips are made for.
void PrimaryCover::ReleaseFrame() {
    if (!impl_) return;
    impl_->Frame.CreateGraphic(hwnd_, 1, 1);
    impl_->Frame.MakeLayered(hwnd_);
    impl_->Frame.ShrinkHiddenWindow();
    if (!IsWindowVisible(hwnd_)) impl_->presentsPicture = false;
}

// The background picture is kept at the screen's size as a DIB of its own: the resting cover
// presents it directly, with no frame made or drawn at the lock, and a frame made for a wipe is
// given back once the picture stands (the window keeps what it was given).
void PrimaryCover::PaintRestingCover() {
    if (!impl_) return;
    impl_->presentsPicture = false;
    const DibSurface* picture = IsTransparentBackground(config_) ? nullptr : images_.Background();
    if (picture && picture->Width() == ScreenWidth() && picture->Height() == ScreenHeight() &&
        impl_->Frame.PresentSurface(*picture)) {
        impl_->presentsPicture = true;
        if (impl_->Frame.Width() > 1) ReleaseFrame();
        return;
    }
    FitFrameToScreen();
    if (!impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    // Alpha 1 looks like nothing yet still takes every click meant for the desktop beneath.
    if (IsTransparentBackground(config_)) {
        frame.ClearFrame(kClearAlphaOne);
    } else {
        frame.ClearFrame(kClearOpaqueBlack);
        images_.Draw(frame.Graphics(), kSlotBackground, kDrawScaledImage, 0, 0, frame.Width(), frame.Height());
    }
    frame.Present();
}

// The frame made at the screen's size and given the picture the window shows, for a wipe to
// start from. A picture of the screen's size is copied row by row, anything else drawn scaled.
void PrimaryCover::TakePictureIntoFrame() {
    FitFrameToScreen();
    if (!impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    const DibSurface* picture = images_.Background();
    if (picture && picture->Width() == frame.Width() && picture->Height() == frame.Height()) {
        GdiFlush();
        for (int y = 0; y < frame.Height(); ++y)
            std::copy_n(picture->Row(y), frame.Width(), frame.Row(y));
    } else {
        frame.ClearFrame(kClearOpaqueBlack);
        images_.Draw(frame.Graphics(), kSlotBackground, kDrawScaledImage, 0, 0, frame.Width(), frame.Height());
    }
}

// A cover that shows the picture already needs no present before the wipe.
void PrimaryCover::PaintUnlockWipeStart() {
    if (IsTransparentBackground(config_) || !impl_) return;
    const bool shown = impl_->presentsPicture;
    TakePictureIntoFrame();
    if (!impl_->Frame.IsReady()) return;
    if (!shown) impl_->Frame.Present(255);
    impl_->presentsPicture = false;
    DoEvents();
}

namespace {

// Runs the wipe's steps on their clock, which started at `start`: every step that is due is
// drawn, then one present, then the thread answers its messages while it waits for the next
// step, so the window never stops answering. Each present shows the steps that are due by the
// time it is done (it runs ahead by the longest present seen so far), so the last step reaches
// the screen by kEffectWholeMs at any screen size, not a present after it.
template <class DrawStep>
void RunWipe(LayeredFrame& frame, DWORD start, int steps, DrawStep drawStep) {
    const auto elapsed = [start] { return static_cast<int>(GetTickCount() - start); };
    int lead = 0;
    int drawn = -1;
    while (drawn < steps) {
        const int due = EffectStepDue(elapsed() + lead, steps);
        for (int j = drawn + 1; j <= due; ++j) drawStep(j);
        if (due > drawn) {
            const DWORD before = GetTickCount();
            frame.Present(255);
            lead = std::max(lead, static_cast<int>(GetTickCount() - before));
        }
        drawn = due > drawn ? due : drawn;
        const int next = EffectStepTime(drawn + 1, steps) - (elapsed() + lead);
        if (drawn < steps && next > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(next), QS_ALLINPUT);
        DoEvents();
    }
    // The last step stays on screen as long as before.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kEffectPauseMs, QS_ALLINPUT);
    DoEvents();
}

}  // namespace

// Each band fills from its left edge, 5 pixels a step. Source copy: the strips replace the
// cleared frame instead of blending with it.
void PrimaryCover::LockEffectShow() {
    if (IsTransparentBackground(config_)) return;
    const DWORD start = GetTickCount();   // making the frame counts towards the wipe's time
    FitFrameToScreen();
    if (!impl_ || !impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    Gdiplus::Graphics* graphics = frame.Graphics();
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    ClearFrame();
    impl_->presentsPicture = false;
    const auto& bands = strips_.Bands();
    RunWipe(frame, start, strips_.Steps(), [&](int j) {
        for (int i = 1; i <= kEffectBands; ++i) {
            if (Gdiplus::CachedBitmap* strip = strips_.Strip(j, i))
                graphics->DrawCachedBitmap(strip, bands[i] + kEffectStripWidth * j, 0);
        }
    });
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

// The erase strip (alpha 1) is copied over the picture band by band, so the desktop comes back
// in the same ten bands while the cover still takes the pointer.
void PrimaryCover::UnlockEffectShow() {
    if (IsTransparentBackground(config_) || !impl_) return;
    if (impl_->presentsPicture) {
        TakePictureIntoFrame();
        impl_->presentsPicture = false;
    }
    if (!impl_->Frame.IsReady()) return;
    LayeredFrame& frame = impl_->Frame;
    Gdiplus::Graphics* graphics = frame.Graphics();
    Gdiplus::CachedBitmap* erase = images_.Cached(kSlotEraseStrip);
    const auto bands = CalcEffectBands(model_.ScreenWidth);
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    RunWipe(frame, GetTickCount(), EffectStepCount(model_.ScreenWidth), [&](int j) {
        if (!erase) return;
        for (int i = 1; i <= kEffectBands; ++i) graphics->DrawCachedBitmap(erase, bands[i] + kEffectStripWidth * j, 0);
    });
    graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

void PrimaryCover::FitScreen(int width, int height) {
    if (!impl_ || width <= 0 || height <= 0) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    impl_->Frame.CreateGraphic(hwnd_, width, height);
    impl_->Frame.MakeLayered(hwnd_);
}

// Bottom first: each SetWindowPos to HWND_TOPMOST puts the window above all the others, so the
// last one raised ends on top. Monitor covers lie beside the primary cover, never under it.
void PrimaryCover::RaiseInOrder() {
    if (!impl_) return;
    const RECT screen = ShownRect();
    const HWND lockWindow = windows_.LockWindowHwnd();
    const bool hidden = lock_.State().IsLockWindowHidden();
    for (HWND cover : furtherCovers_.Windows())
        SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (hidden) RaiseOver(lockWindow, screen);
    RaiseOver(hwnd_, screen);
    if (!hidden) RaiseOver(lockWindow, screen);
}

// The watchdog's slow poll while locked.
void PrimaryCover::OnWatchdogTick() {
    if (!lock_.State().IsLocked()) return;
    RenewKeyboardHookWhenDue();
    // A changed geometry rebuilds, shows and raises every window itself.
    if (windows_.FollowDisplay()) return;
    OnWindowEvents();
}

// A look after window events (and at each poll). A look that finds everything in place changes
// nothing, so our own mending ends in one quiet look.
void PrimaryCover::OnWindowEvents() {
    KillTimer(hwnd_, kLookTimer);
    if (!lock_.State().IsLocked()) return;
    // Windows 11 shows a hidden taskbar again by itself; the transparent lock keeps it shown,
    // as HideShell does.
    if (!IsTransparentBackground(config_)) HideTaskbars();
    HoldWindows();
}

// Windows sends this after a resolution or orientation change and when a monitor comes or goes.
// While unlocked nothing is done: the next lock reads the screen anyway.
void PrimaryCover::OnDisplayChange() {
    if (lock_.State().IsLocked()) windows_.FollowDisplay();
}

// Looks at every window of ours that should show and mends only what is wrong; a tick that
// finds all in place changes and repaints nothing.
void PrimaryCover::HoldWindows() {
    const bool hidden = lock_.State().IsLockWindowHidden();
    const HWND lockWindow = windows_.LockWindowHwnd();
    // Rank 0 is on top: the lock window, or this cover while the lock window is faded out.
    std::vector<std::pair<HWND, int>> ours{{hwnd_, hidden ? 0 : 1}};
    if (!hidden && lockWindow) ours.push_back({lockWindow, 0});
    for (HWND cover : furtherCovers_.Windows()) ours.push_back({cover, 1});

    WatchdogView view;
    view.coverMissing = furtherCovers_.AnyMissing();
    for (const auto& [window, rank] : ours)
        if (!IsShowing(window)) view.notShowing = true;
    view.orderHeld = IsOrderHeld(ObserveBand(ours), static_cast<int>(ours.size()));
    const RECT screen = ShownRect();
    view.misplaced = !HasRect(hwnd_, screen) || (!hidden && lockWindow && !HasRect(lockWindow, screen));
    // Any other window with the keyboard, even one of this program's (the faded-out lock window,
    // whose keys belong to this cover meanwhile), gets it taken away.
    const HWND foreground = GetForegroundWindow();
    view.foregroundForeign = true;
    for (const auto& [window, rank] : ours)
        if (foreground == window) view.foregroundForeign = false;

    const WatchdogSteps steps = DecideWatchdogSteps(view);
    if (steps.remakeCovers) furtherCovers_.RemakeMissing();
    if (steps.show) {
        for (const auto& [window, rank] : ours)
            if (!IsShowing(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
    }
    if (steps.raise) RaiseInOrder();
    if (steps.takeFocus) GiveFocus(hidden ? hwnd_ : lockWindow);
    // Meanwhile the keyboard filter keeps every key from the foreground; the platform's lock
    // also keeps the pointer from it.
    if (impl_->foreground.LockDue(IsForegroundOurs(), GetTickCount())) LockWorkstationNow();
}

// Click or Enter on the cover: the faded-out lock window comes back with a fresh idle screen.
void PrimaryCover::RecallLockWindow() {
    windows_.ShowIdleLockScreen();
    const HWND lockWindow = windows_.LockWindowHwnd();
    PlaceAt(hwnd_, HWND_TOPMOST);
    PlaceAt(lockWindow, HWND_TOP);
    PlaceAt(lockWindow, HWND_TOPMOST);
    GiveFocus(lockWindow);
    notes_.NoteActivity();
}

void PrimaryCover::RecallOnEnter(WPARAM keyCode) {
    if (keyCode == VK_RETURN) RecallLockWindow();
}

// Pointer movement over the cover counts as activity for the monitor switch-off.
void PrimaryCover::NotePointerMove() { notes_.NoteMonitorOn(); }
