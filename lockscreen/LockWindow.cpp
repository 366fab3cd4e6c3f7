// The lock window: takes the pattern from the pointer or the letters from the keyboard, checks
// them, runs the alarm, fades out after inactivity, and carries the program's idle timer. The
// window procedure only dispatches; each event has its named handler below.
#include "lockscreen/LockWindow.h"

// The hand cursor comes with the program's resources; a build without them uses the system's.
#if __has_include("resource.h")
#include "resource.h"
#endif

#include "core/ConfigFile.h"
#include "core/LockScreenModel.h"
#include "core/ProgramFiles.h"
#include "lockscreen/ClockText.h"
#include "lockscreen/LockScreens.h"
#include "system/IdlePolicy.h"
#include "system/KeyboardLock.h"
#include "system/LockRecord.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "system/Text.h"
#include "system/WinHandles.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "ui/TabletGestures.h"
#include "ui/WindowClass.h"

namespace {

constexpr char kClassName[] = "OrvoPCLockPattern";
constexpr UINT_PTR kIdleTimer = 1, kClockTimer = 2, kAlarmTimer = 3, kAlarmBlinkTimer = 4;
constexpr UINT kIdleInterval = 1000, kAlarmInterval = 1000, kAlarmDrawInterval = 470;
constexpr DWORD kReleasedShowMs = 700;     // the red trail stays this long before the check
constexpr DWORD kFadeStepMs = 30;
constexpr DWORD kAlarmSoundDelayMs = 1000;

// The signed client coordinates of a mouse message, as GET_X_LPARAM and GET_Y_LPARAM give them.
double MouseX(LPARAM lp) { return static_cast<short>(LOWORD(lp)); }
double MouseY(LPARAM lp) { return static_cast<short>(HIWORD(lp)); }

// Seconds since 1970 (UTC): the guess wait is kept across restarts of the program, which the
// tick count is not.
int64_t NowSeconds() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr uint64_t kTicksPerSecond = 10000000, kEpochSeconds = 11644473600;   // 1601 to 1970
    return static_cast<int64_t>(ticks / kTicksPerSecond) - static_cast<int64_t>(kEpochSeconds);
}

bool IsModifierKey(int keyCode) {
    switch (keyCode) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_LWIN: case VK_RWIN:
    case VK_LSHIFT: case VK_RSHIFT: case VK_LCONTROL: case VK_RCONTROL: case VK_LMENU: case VK_RMENU:
        return true;
    default:
        return false;
    }
}

}  // namespace

struct LockWindow::Impl {
    Impl(LockScreenModel& m, ImageTable& i, const LockControl& l) : model(m), images(i), lock(l) {}
    LockScreenModel& model;
    ImageTable& images;
    const LockControl& lock;
    LayeredFrame frame;
    PatternDrag drag;                // EnteredPattern and IsDrawing
    WrongCounter wrong;              // WrongCount
    GuessThrottle throttle;          // the waits after wrong entries since the first alarm
    std::string waitText;            // the countdown shown instead of the alert text
    std::string drawnWaitText;       // the countdown as the last whole redraw showed it
    bool isAlarm = false;
    int hotItem = -1;
    int lastHotItem = -1;
    int alarmSeconds = 0;
    int alarmElapsed = 0;
    bool alarmBlink = false;
    // The frame outside the screen parts holds the pattern screen (not the alarm screen, not a
    // frame made since), so a part can be redrawn alone.
    bool wholeShowsPattern = false;
    std::string timeText, dateText, lastTimeText, lastDateText;
    float lastMouseX = -1, lastMouseY = -1;
    WinTimer idleTimer, clockTimer, alarmTimer, alarmBlinkTimer;
    HCURSOR handCursor = nullptr;
    HCURSOR arrowCursor = nullptr;

    LockScreenView View() const {
        LockScreenView view;
        view.unlockMode = lock.State().UnlockMode();
        view.hotItem = hotItem;
        view.entered = &drag.Entry();
        view.images = &images;
        view.layout = &model.Layout;
        view.keys = &model.EnteredKeys;
        view.letters = &model.PointLetters;
        view.timeText = timeText;
        view.dateText = dateText;
        view.alertText = waitText.empty() ? model.AlertText : waitText;
        return view;
    }
    // The entry tables follow the grid, which the configuration dialog may have changed.
    void FitEntries() {
        const int points = model.PointCount();
        if (drag.Entry().Capacity() != points) drag.Reset(points);
        if (static_cast<int>(model.EnteredKeys.Slots().size()) != points + 1) model.EnteredKeys.Reset(points);
    }
};

LockWindow::~LockWindow() { Destroy(); }

bool LockWindow::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterWindowClass(wc)) return false;
    impl_ = new Impl(model_, images_, lock_);
    // Restarting the program must not give a guesser a fresh count toward the alarm.
    impl_->wrong.Restore(ReadAlertTimes());
    const AlertWaits waits = ReadAlertWaits();
    impl_->throttle.Restore(waits.Waits, waits.End);
    impl_->waitText = WaitText();
    impl_->arrowCursor = wc.hCursor;
#ifdef IDC_HANDCURSOR
    impl_->handCursor = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_HANDCURSOR));
#endif
    if (!impl_->handCursor) impl_->handCursor = LoadCursorA(nullptr, IDC_HAND);
    // A tool window: no taskbar button even while the taskbar is shown.
    if (!CreateWindowFor(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, model_.ScreenWidth, model_.ScreenHeight,
                         nullptr, nullptr, instance)) {
        delete impl_;
        impl_ = nullptr;
        return false;
    }
    StartFrameAndTimers();
    return true;
}

void LockWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);  // WM_DESTROY runs ReleaseFrameAndTimers
    hwnd_ = nullptr;
    delete impl_;
    impl_ = nullptr;
}

LayeredFrame* LockWindow::Frame() const { return impl_ ? &impl_->frame : nullptr; }
Gdiplus::Graphics* LockWindow::Graphics() const { return impl_ ? impl_->frame.Graphics() : nullptr; }
int LockWindow::HotItem() const { return impl_ ? impl_->hotItem : -1; }
bool LockWindow::IsAlarm() const { return impl_ && impl_->isAlarm; }

// The countdown while a wrong entry's wait runs, "" otherwise.
std::string LockWindow::WaitText() const {
    const int left = impl_ ? impl_->throttle.SecondsLeft(NowSeconds()) : 0;
    return left > 0 ? GuessWaitText(left) : std::string();
}

// The window's object is the lock session's and outlives the window.
LRESULT LockWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (!impl_) return DefWindowProcA(hwnd_, msg, wp, lp);
    const double x = MouseX(lp);
    const double y = MouseY(lp);
    switch (msg) {
    case WM_LBUTTONDOWN: StartPatternEntry(x, y); return 0;
    case WM_MOUSEMOVE: TrackPointer(x, y); return 0;
    case WM_LBUTTONUP: {
        const HWND hwnd = hwnd_;
        CheckDrawnPattern(x, y);
        // A right entry unlocks, and the messages the unlock lets run may end the program and
        // take this window and its object with it: only a window that still has it gets the click.
        if (IsStillAttached(hwnd, this) && impl_) SwitchModeUnderPointer();
        return 0;
    }
    case WM_KEYDOWN: TakeKey(static_cast<int>(wp)); return 0;
    case kTabletQuerySystemGestureStatus: return kTabletGesturesOff;
    case WM_SETCURSOR:
        if (LOWORD(lp) == HTCLIENT && ShowCursorForHotItem()) return TRUE;
        break;
    case WM_TIMER:
        switch (wp) {
        case kIdleTimer: OnIdleTick(); return 0;
        case kClockTimer: OnClockTick(); return 0;
        case kAlarmTimer: OnAlarmSecond(); return 0;
        case kAlarmBlinkTimer: OnAlarmBlink(); return 0;
        }
        break;
    // Alt+F4 must not close the lock window; the program destroys it itself when it ends.
    case WM_CLOSE: return 0;
    case WM_DESTROY: ReleaseFrameAndTimers(); return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

// The window starts with a one-pixel frame: the full frame is made when the first screen is
// drawn, at the lock, and given back after the unlock.
void LockWindow::StartFrameAndTimers() {
    Impl& s = *impl_;
    SetWindowPos(hwnd_, nullptr, 0, 0, model_.ScreenWidth, model_.ScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    MakeFrame(1, 1);
    ReadClock();
    s.lastMouseX = -1;
    s.drag.Reset(model_.PointCount());
    s.idleTimer.Start(hwnd_, kIdleTimer, kIdleInterval);
    StartClock();
}

void LockWindow::ReadClock() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    impl_->timeText = FormatTimeText(now);
    impl_->dateText = FormatDateText(now);
}

// The clock shows minutes: it wakes just after the next minute begins, not every second.
void LockWindow::StartClock() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // A running countdown changes every second; the clock alone once a minute.
    const UINT seconds = impl_->waitText.empty() ? 60u - now.wSecond % 60u : 1u;
    impl_->clockTimer.Start(hwnd_, kClockTimer, seconds * 1000u - now.wMilliseconds % 1000u + 50u);
}

// The points moved with the screen: a half-drawn pattern would be judged against the old places.
void LockWindow::FitScreen(int width, int height) {
    if (!impl_ || width <= 0 || height <= 0) return;
    Impl& s = *impl_;
    if (GetCapture() == hwnd_) ReleaseCapture();
    s.drag.Reset(model_.PointCount());
    s.hotItem = -1;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    MakeFrame(width, height);
}

// The cached bitmaps of the image table are made for Graphics(); a frame of any size has the same
// pixel format, so they draw on every frame made later.
void LockWindow::MakeFrame(int width, int height) {
    Impl& s = *impl_;
    s.frame.CreateGraphic(hwnd_, width, height);
    s.frame.MakeTrailPens();
    s.frame.MakeLayered(hwnd_);
    s.wholeShowsPattern = false;
}

// Unlocked, the window is hidden and draws nothing: its full-screen frame is given back and only
// a one-pixel frame stays for the image table. The next screen drawn makes it again.
void LockWindow::ReleaseFrame() {
    if (!impl_) return;
    impl_->clockTimer.Stop();
    MakeFrame(1, 1);
    impl_->frame.ShrinkHiddenWindow();
}

void LockWindow::FitFrameToScreen() {
    const LayeredFrame& frame = impl_->frame;
    if (frame.IsReady() && frame.Width() == model_.ScreenWidth && frame.Height() == model_.ScreenHeight) return;
    MakeFrame(model_.ScreenWidth, model_.ScreenHeight);
}

void LockWindow::ReleaseFrameAndTimers() {
    Impl& s = *impl_;
    s.idleTimer.Stop();
    s.clockTimer.Stop();
    s.alarmTimer.Stop();
    s.alarmBlinkTimer.Stop();
    s.frame.DeleteGraphic();
}

// ---- screens ----

void LockWindow::Present(bool fullyOpaque) {
    if (!impl_) return;
    if (fullyOpaque) {
        SetClickThrough(false);
        impl_->frame.Present(255);
    } else {
        impl_->frame.Present();
    }
}

// A faded-out window must let the pointer reach the background cover. Windows passes clicks
// through pixels of alpha 0, Wine does not; WS_EX_TRANSPARENT on a layered window makes both
// skip it in hit testing.
void LockWindow::SetClickThrough(bool clickThrough) {
    if (!hwnd_) return;
    const LONG style = GetWindowLongA(hwnd_, GWL_EXSTYLE);
    const LONG wanted = clickThrough ? (style | WS_EX_TRANSPARENT) : (style & ~WS_EX_TRANSPARENT);
    if (wanted != style) SetWindowLongA(hwnd_, GWL_EXSTYLE, wanted);
}

void LockWindow::PatternNormal(ScreenPart part) { Redraw(false, false, part, true); }

void LockWindow::PatternAction(bool isPenColor, ScreenPart part) { Redraw(true, isPenColor, part, false); }

// A part alone costs in proportion to its size where the system presents only the dirty
// rectangle; a whole redraw also brings the clock up to date and wakes it again.
void LockWindow::Redraw(bool isAction, bool isPenColor, ScreenPart part, bool fullyOpaque) {
    if (!impl_) return;
    Impl& s = *impl_;
    FitFrameToScreen();
    // The countdown sits under the panel, outside every part: a change of it needs the whole.
    const bool partial = part != ScreenPart::Whole && s.wholeShowsPattern && IsWindowVisible(hwnd_) &&
                         (!fullyOpaque || s.frame.ConstantAlpha() == 255) && s.waitText == s.drawnWaitText;
    if (partial) {
        const RECT region = ScreenPartRect(model_.Layout, part, s.frame.Width(), s.frame.Height());
        DrawPatternRegion(s.frame, s.View(), isAction, isPenColor, region);
        s.frame.UpdateRect(region);
        return;
    }
    ReadClock();
    if (!s.clockTimer.IsRunning() || !s.waitText.empty()) StartClock();
    DrawPatternScreen(s.frame, s.View(), isAction, isPenColor);
    Present(fullyOpaque);
    s.wholeShowsPattern = s.frame.IsReady();
    s.drawnWaitText = s.waitText;
    s.lastTimeText = s.timeText;
    s.lastDateText = s.dateText;
}

void LockWindow::PatternAlert(int leftTime) {
    if (!impl_) return;
    FitFrameToScreen();
    DrawAlertScreen(impl_->frame, images_, model_.Layout, leftTime, impl_->alarmBlink);
    impl_->wholeShowsPattern = false;
    Present(true);
    impl_->alarmBlink = !impl_->alarmBlink;
}

void LockWindow::AutoHideLockWindow() {
    if (!impl_) return;
    for (int i = 1; i <= 32; ++i) {
        impl_->frame.Present(kFadeAlpha[static_cast<size_t>(32 - i)]);
        Sleep(kFadeStepMs);
    }
    SetClickThrough(true);
    notes_.SetLockWindowHidden(true);
}

// Enter on the lock window: fade out and leave the focus to the background cover, whose click
// or Enter brings the lock window back.
void LockWindow::HideSequence() {
    AutoHideLockWindow();
    if (HWND background = windows_.BackgroundHwnd()) {
        SetWindowPos(background, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
        SetFocus(background);
    }
    notes_.NoteActivity();
    notes_.SetLockWindowHidden(true);
}

// ---- pointer ----

void LockWindow::StartPatternEntry(double x, double y) {
    Impl& s = *impl_;
    if (s.isAlarm || lock_.State().UnlockMode() == kDynamicPasswordMode) return;
    if (!WaitText().empty()) return;   // no entry until the wait has run out
    s.FitEntries();
    SetCapture(hwnd_);  // the release must arrive even if it happens off the window
    const int hit = HitTestPoint(model_.Layout, x, y);
    if (s.drag.Press(hit)) {
        // A press on a point is the first move of the entry, and is activity like any move.
        NotePointerMove(x, y);
        s.hotItem = hit;
        PatternAction(false, ScreenPart::Panel);
    }
}

// What every pointer move records: the window is in use, the monitor is on, and a move right or
// down is activity that holds off the fade.
void LockWindow::NotePointerMove(double x, double y) {
    Impl& s = *impl_;
    // Only a move right or down counts as activity: a pointer that drifts back by itself (a
    // mouse on an uneven desk) must not keep the window from fading.
    notes_.NotePointerMove(s.lastMouseX != -1 && (x - s.lastMouseX > 1 || y - s.lastMouseY > 1));
    s.lastMouseX = static_cast<float>(x);
    s.lastMouseY = static_cast<float>(y);
}

void LockWindow::TrackPointer(double x, double y) {
    Impl& s = *impl_;
    const double fromX = s.lastMouseX, fromY = s.lastMouseY;
    NotePointerMove(x, y);
    if (s.drag.IsDrawing()) {
        if (s.isAlarm || lock_.State().UnlockMode() == kDynamicPasswordMode) return;
        // Moves that came while the window was busy drawing arrive merged into one: the points
        // on the way since the last position count as entered, in their order.
        bool added = false;
        if (fromX != -1)
            for (int passed : PointsAlong(model_.Layout, fromX, fromY, x, y)) added = s.drag.Move(passed) || added;
        const int hit = HitTestPoint(model_.Layout, x, y);
        if (hit > 0) s.hotItem = hit;
        if (s.drag.Move(hit) || added) PatternAction(false, ScreenPart::Panel);
        return;
    }
    s.hotItem = HitTestIcon(model_.Layout, x, y);
    if (s.hotItem == s.lastHotItem) return;
    s.lastHotItem = s.hotItem;
    SetCursor(s.hotItem >= kIconKeyboard ? s.handCursor : s.arrowCursor);
    PatternAction(false, ScreenPart::Icons);  // the icon under the pointer is drawn larger
}

void LockWindow::CheckDrawnPattern(double, double) {
    Impl& s = *impl_;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (!s.drag.IsDrawing() || s.isAlarm || lock_.State().UnlockMode() == kDynamicPasswordMode) return;
    PatternAction(true, ScreenPart::Panel);
    // The thread waits on purpose: the red trail is the answer the user sees before the check.
    Sleep(kReleasedShowMs);
    s.drag.Release();
    const bool right = CheckSecretPattern();
    if (right) lock_.RequestLock(false);
    if (!impl_) return;  // the program may have ended meanwhile
    impl_->drag.Reset(model_.PointCount());
    // Hidden by the unlock, the window draws nothing: the next lock draws it whole.
    if (!right || IsWindowVisible(hwnd_)) PatternNormal(ScreenPart::Panel);
}

void LockWindow::SwitchModeUnderPointer() {
    Impl& s = *impl_;
    const int points = model_.PointCount();
    switch (s.hotItem) {
    case kIconKeyboard:
        notes_.SetUnlockMode(kDynamicPasswordMode);
        model_.ShuffleLetters(CryptoUniform);
        break;
    case kIconPatternEnable:
        notes_.SetUnlockMode(kSecureUnlockMode);
        s.drag.Reset(points);
        break;
    case kIconPatternDisplay:
        notes_.SetUnlockMode(kNormalUnlockMode);
        s.drag.Reset(points);
        break;
    default:
        return;
    }
    SyncKeyboardUnlockMode(lock_.State().UnlockMode());   // the keyboard lock's thread lets letters through from now on
    PatternAction(false);
}

bool LockWindow::ShowCursorForHotItem() {
    const Impl& s = *impl_;
    HCURSOR cursor = s.hotItem >= kIconKeyboard && s.hotItem <= kIconPatternDisplay ? s.handCursor : s.arrowCursor;
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

// ---- keys ----

void LockWindow::TakeKey(int keyCode) {
    Impl& s = *impl_;
    if (s.isAlarm) return;
    if (!WaitText().empty()) {
        // No entry until the wait has run out; the window may still be put aside.
        if (keyCode == VK_RETURN && !lock_.State().IsLockWindowHidden()) HideSequence();
        return;
    }
    if (keyCode == VK_ESCAPE && s.drag.IsDrawing()) {
        s.drag.Reset(model_.PointCount());
        PatternNormal(ScreenPart::Panel);
        return;
    }
    if (lock_.State().UnlockMode() != kDynamicPasswordMode) {
        if (keyCode == VK_RETURN && !lock_.State().IsLockWindowHidden()) HideSequence();
        return;
    }
    s.FitEntries();
    if (keyCode == VK_RETURN) {
        if (model_.EnteredKeys.Count() > 0) {
            const bool right = CheckSecretPattern();
            if (right) lock_.RequestLock(false);
            model_.EnteredKeys.Reset(model_.PointCount());
            if (impl_ && (!right || IsWindowVisible(hwnd_))) PatternNormal();
        } else if (!lock_.State().IsLockWindowHidden()) {
            HideSequence();
        }
        return;
    }
    if (keyCode == VK_BACK) {
        if (!model_.EnteredKeys.Backspace()) MessageBeep(MB_OK);
    } else {
        // Shift, Ctrl and the like arrive as keys of their own; stored, they would make a
        // typed capital letter count as two keys.
        if (IsModifierKey(keyCode)) return;
        if (!model_.EnteredKeys.Type(static_cast<uint8_t>(keyCode))) MessageBeep(MB_OK);
    }
    PatternNormal(ScreenPart::InputBox);
}

// ---- check and alert ----

bool LockWindow::CheckSecretPattern() {
    Impl& s = *impl_;
    const int mode = lock_.State().UnlockMode();
    const std::string stored = StoredPatternText(config_, model_.Layout.GridSide, mode, model_.PointLetters);
    const std::string entered =
        mode == kDynamicPasswordMode ? EnteredKeysText(model_.EnteredKeys) : EnteredPatternText(s.drag.Entry());
    if (PatternTextsMatch(stored, entered)) {
        s.wrong.RecordMatch();
        s.throttle.RecordMatch();
        s.waitText.clear();
        ResetAlertTimes();
        return true;
    }
    const bool alert = s.wrong.RecordMismatch(config_.AlertTimes, config_.AlertMode);
    WriteAlertTimes(s.wrong.Count());
    // The entry that starts the alarm only arms the waits; each wrong one after it waits.
    s.throttle.RecordMismatch(NowSeconds());
    if (alert) s.throttle.RecordAlarm();
    WriteAlertWaits({s.throttle.Waits(), s.throttle.WaitEnd()});
    s.waitText = WaitText();
    if (alert) ProcessAlertMode(config_.AlertMode);
    return false;
}

void LockWindow::ProcessAlertMode(int inMode) {
    if (!impl_) return;
    Impl& s = *impl_;
    if (inMode < 0 || inMode > 5) {
        config_.AlertMode = 1;
        SaveConfigData(config_, TheProgramFiles().ConfigFilePath);
        inMode = 1;
    }
    switch (inMode) {
    case 1: case 2: case 3: s.alarmSeconds = 60 * inMode; break;
    case 4: LockWorkstationNow(); return;
    case 5: QuickShutdown(); return;
    default: return;
    }
    s.alarmElapsed = 0;
    s.alarmTimer.Start(hwnd_, kAlarmTimer, kAlarmInterval);
    s.alarmBlinkTimer.Start(hwnd_, kAlarmBlinkTimer, kAlarmDrawInterval);
    s.isAlarm = true;
    Sleep(kAlarmSoundDelayMs);
    PlayAlarm(TheProgramFiles().AlarmFilePath);
}

// ---- timers ----

// Idle decisions for the whole program: fade the lock window, lock, switch the monitor off.
void LockWindow::OnIdleTick() {
    Impl& s = *impl_;
    if (s.isAlarm) return;
    const LockState& state = lock_.State();
    IdleInputs in;
    in.isLocked = state.IsLocked();
    in.isLockWindowHidden = state.IsLockWindowHidden();
    in.isMonitorOff = state.IsMonitorOff();
    in.isLockBusy = state.IsBusy();
    in.isAutoLockDisabled = state.IsAutoLockDisabled();
    in.idleSeconds = notes_.MeasureIdleSeconds();
    if (in.isLocked && !in.isLockWindowHidden) in.inactiveSeconds = notes_.InactiveSeconds();
    in.autoHideTime = config_.AutoHideTime;
    in.autoLockTime = config_.AutoLockTime;
    in.monitorOffTime = config_.MonitorOffTime;
    const IdleActions actions = DecideIdleActions(in);
    if (actions.hideLockWindow) AutoHideLockWindow();
    if (actions.lockComputer) lock_.RequestLock(true);
    // Taken again: the steps above may have changed the state the decision was made on.
    if (actions.turnOffMonitor && !state.IsMonitorOff() && !state.IsBusy() && TurnOffMonitor(hwnd_))
        notes_.NoteMonitorOff();
}

// Unlocked, the clock sleeps: the whole redraw of the next lock reads it and wakes it.
void LockWindow::OnClockTick() {
    Impl& s = *impl_;
    if (!IsWindowVisible(hwnd_)) {
        s.clockTimer.Stop();
        return;
    }
    StartClock();
    if (s.isAlarm) return;
    ReadClock();
    if (lock_.State().IsLockWindowHidden()) return;
    const std::string waitText = WaitText();
    const bool waitChanged = waitText != s.waitText;
    s.waitText = waitText;
    if (!waitChanged && s.timeText == s.lastTimeText && s.dateText == s.lastDateText) return;
    // The countdown sits under the panel, outside the clock's part.
    const ScreenPart part = waitChanged ? ScreenPart::Whole : ScreenPart::Clock;
    if (s.drag.IsDrawing())
        PatternAction(false, part);
    else
        PatternNormal(part);
    s.lastTimeText = s.timeText;
    s.lastDateText = s.dateText;
}

// KillTimer leaves a WM_TIMER that is already queued where it is, so both alarm timers can tick
// once more after the alarm ended; such a tick must not count or bring the countdown back.
void LockWindow::OnAlarmSecond() {
    Impl& s = *impl_;
    if (!s.isAlarm) return;
    ++s.alarmElapsed;
    if (s.alarmElapsed < s.alarmSeconds) return;
    StopAlarm();
    s.alarmBlinkTimer.Stop();
    s.alarmTimer.Stop();
    s.alarmElapsed = 0;
    s.isAlarm = false;
    notes_.RestartIdleCount();
    PatternNormal();
}

void LockWindow::OnAlarmBlink() {
    Impl& s = *impl_;
    if (!s.isAlarm) return;
    PatternAlert(s.alarmSeconds - s.alarmElapsed);
}
