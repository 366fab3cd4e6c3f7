// LockComputer: the one path between unlocked and locked. The steps run in a fixed order and each
// runs even when an earlier one failed, so a failure only leaves its own effect undone.
#include "app/LockSession.h"
#include "system/SystemLibrary.h"

#include <windows.h>

#include "app/FailClosed.h"
#include "app/MessageWindow.h"
#include "app/Startup.h"
#include "configui/ConfigDialog.h"
#include "core/PolicyRegistry.h"
#include "cover/PrimaryCover.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/LockWindow.h"
#include "lockscreen/VerifyDialog.h"
#include "system/KeyboardLock.h"
#include "system/Messages.h"
#include "system/LockedSettings.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "system/Restrictions.h"
#include "system/ServiceClient.h"
#include "system/VersionInfo.h"
#include "tray/TrayWindow.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"

namespace {

// Topmost at (0, 0) with the size kept; without SWP_NOACTIVATE this also activates the window.
void PlaceTopmost(HWND hwnd) {
    if (hwnd) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
}

// The service answers at once when it runs; a lock does not wait longer for one that does not.
constexpr unsigned kServiceLockTimeoutMs = 500;
// The unlock waits longer: a lost "unlocked" would leave the restrictions on until sign-out.
constexpr unsigned kServiceUnlockTimeoutMs = 3000;

}  // namespace

// Dynamic Password Mode: a fresh assignment of letters to the points at every lock, for the
// grid of the settings (the layout may not follow a grid changed meanwhile yet).
void LockSession::ShuffleLetters() {
    const int side = GridSideOf(config_.Grid);
    const int points = side * side;
    model_.PointLetters = MakeRandomLetters(points, CryptoUniform);
    model_.EnteredKeys.Reset(points);
}

void LockSession::Lock(bool isStartup) {
    // The screen may have changed size since start-up or the last lock.
    bool resized = false;
    if (ReadDisplay(&resized) && resized) images_.ReloadBackground(config_, model_);
    // Cover first: every monitor's cover is presented before anything else of the lock is drawn,
    // each before it shows, so no frame of the last lock flashes up. With the wipe the primary
    // cover's first present is the wipe's first step (a present of a wholly transparent frame
    // before it would show black under Wine without a compositor, instead of the desktop).
    // No wipe without a picture.
    const bool wipe = !isStartup && config_.Effect != 0 && cover_ && !IsTransparentBackground(config_);
    if (cover_ && !wipe) cover_->PaintRestingCover();
    if (HWND background = BackgroundHwnd()) {
        ShowWindow(background, SW_SHOW);
        PlaceTopmost(background);
    }
    furtherCovers_.Show(true);
    // The system shortcuts, and every key while the foreground is another program's, are held
    // back in both settings of "Lock keyboard", from before the wipe on: the wipe answers
    // messages, and a key must not reach the desktop meanwhile.
    HookKeyboard(true, state_.UnlockMode(), config_.LockKeyboard != 0, LockWindowHwnd());
    if (wipe) {
        PrepareEffectStrips();
        DoEvents();
        cover_->LockEffectShow();
        cover_->PaintRestingCover();
        // The strips serve the lock wipe alone: given back at once, not kept through the lock.
        strips_.Release();
    }

    HideShell(true, IsTransparentBackground(config_));
    lockFailures_ = ApplyLockPolicies();
    TurnOffAccessHotKeys(*settings_);
    // The lock screen shows the settings' alert text as it is now (the defaults of a first run
    // may have replaced it after start-up).
    model_.AlertText = ReadFixedText(config_.AlertWord);
    if (state_.UnlockMode() == kDynamicPasswordMode) ShuffleLetters();

    if (HWND pattern = LockWindowHwnd()) {
        lockWindow_->PatternNormal();   // the first frame, presented before the window shows
        ShowWindow(pattern, SW_SHOW);
        PlaceTopmost(pattern);
        // No edge swipe opens the system's panels over the lock window (touch screens only).
        settings_->SetEdgeGesturesBlocked(pattern, true);
        // The foreground too, not only the focus: until the lock window is the foreground
        // window, a first press on it only activates it (Wine's desktop drops it), and the
        // first pattern drawn right after the lock would be lost.
        SetForegroundWindow(pattern);
        SetFocus(pattern);
    }
    // No other program may take the foreground by itself while locked (Windows only; the user's
    // own Alt or click lifts it, and the watchdog sets it again).
    LockSetForegroundWindow(LSFW_LOCK);
    DoEvents();
    if (cover_) cover_->EnableWatchdog(true);
    if (config_.Disconnection != 0) HangUpConnections();
}

PolicyFailures LockSession::ApplyLockPolicies() {
    serviceHolds_ = AskLockService(ServiceRequest::Locked, kServiceLockTimeoutMs).value_or(false);
    if (serviceHolds_) return PoliciesNotInForce();
    // An organization that requires the service does not rely on a lock any process of this
    // account could end: Windows' own lock (the account's password) stands behind this one.
    if (ThePolicyOverlay().RequireService()) {
        LockWorkstationNow();
        missingServiceNotice_.Note();
    }
    return ApplyPolicies();
}

// The service first, then this program's own record: a lock that used both (the service came
// up during it) ends with the values from before either wrote.
void LockSession::RestoreLockPolicies() {
    if (serviceHolds_) AskLockService(ServiceRequest::Unlocked, kServiceUnlockTimeoutMs);
    serviceHolds_ = false;
    RestorePolicies();
}

std::string LockSession::RestrictionFailureText() const {
    if (IsLockServiceRunning()) return kServiceAppliesPoliciesText;
    // Before the first lock: what this account may not set, found by trying to open the keys.
    return notice_.Text().empty() ? PolicyFailureText(ProbePolicyWrites()) : notice_.Text();
}

void LockSession::Unlock() {
    // Stopped first: the watchdog must not raise windows while the unlock takes them down.
    if (cover_) cover_->EnableWatchdog(false);
    LockSetForegroundWindow(LSFW_UNLOCK);

    if (HWND pattern = LockWindowHwnd()) {
        ShowWindow(pattern, SW_HIDE);
        settings_->SetEdgeGesturesBlocked(pattern, false);
    }

    if (config_.Effect != 0 && cover_) {
        cover_->PaintUnlockWipeStart();
        PlaceTopmost(BackgroundHwnd());
        strips_.PrepareUnlock(cover_->Graphics(), model_.ScreenHeight);
        DoEvents();
        cover_->UnlockEffectShow();
    }

    HideShell(false, IsTransparentBackground(config_));
    HookKeyboard(false);
    RestoreLockPolicies();
    RestoreAccessHotKeys(*settings_);

    if (HWND background = BackgroundHwnd()) ShowWindow(background, SW_HIDE);
    furtherCovers_.Show(false);
    // Unlocked, nothing of the screen's size is kept: the frames and the wipe strips are made
    // again at the next lock.
    if (cover_) cover_->ReleaseFrame();
    if (lockWindow_) lockWindow_->ReleaseFrame();
    strips_.Release();
}

void LockSession::LockComputer(bool isLock, bool isStartup) {
    if (isLock) {
        if (!state_.BeginLock(GetTickCount())) {
            // Asked again while locked (a copy the service started to lock again handed its
            // request on and ended): the service hears that this program holds the lock.
            if (state_.IsLocked() && !state_.IsBusy())
                serviceHolds_ = AskLockService(ServiceRequest::Locked, kServiceLockTimeoutMs).value_or(serviceHolds_);
            return;
        }
        // A policy written meanwhile rules this lock (keyboard, alert) and the rest of the run.
        RefreshPolicySettings(config_);
        // Set before anything is hidden or applied: from here on a kill or a crash relocks.
        NoteLocked(true);
        Lock(isStartup);
        // The lock window takes input during the lock's last message pump, so a pattern drawn
        // right away asks for an unlock then; it runs now instead of being lost.
        if (!state_.FinishLock()) return;
    }
    if (!state_.BeginUnlock()) return;
    Unlock();
    state_.FinishUnlock();
    NoteLocked(false);
    const std::string notice = notice_.BalloonAfterUnlock(lockFailures_);
    if (!notice.empty()) ShowTrayBalloon(kPolicyNoticeTitle, notice);
    else if (missingServiceNotice_.TakeOnce()) ShowTrayBalloon(kPolicyNoticeTitle, kMissingServiceText);
}

void LockSession::LockAgain() {
    if (!state_.IsLocked() || state_.IsBusy()) return;
    NoteLocked(true);
    Lock(true);
}

void LockSession::UseSettings(LockedSettings* settings) {
    settings_ = settings ? settings : &SystemLockedSettings();
}

LockSession::LockSession() : settings_(&SystemLockedSettings()) {}

// Windows still open when WinMain returns (a kept quit after the unlock) go with the process,
// as every window does that is open at the end.
LockSession::~LockSession() {
    (void)lockWindow_.release();
    (void)cover_.release();
}

bool LockSession::CreateLockWindow(HINSTANCE instance) {
    if (lockWindow_ && lockWindow_->Hwnd()) return true;
    lockWindow_ = std::make_unique<LockWindow>(config_, model_, images_, *this, *this, *this);
    if (!lockWindow_->Create(instance)) lockWindow_.reset();
    return lockWindow_ != nullptr;
}

bool LockSession::CreateCover(HINSTANCE instance) {
    if (cover_ && cover_->Hwnd()) return true;
    cover_ = std::make_unique<PrimaryCover>(config_, model_, images_, strips_, *this, *this, *this, furtherCovers_);
    if (!cover_->Create(instance)) cover_.reset();
    return cover_ != nullptr;
}

void LockSession::CloseLockWindow() { lockWindow_.reset(); }
void LockSession::CloseCover() { cover_.reset(); }

void LockSession::LoadImages(HMODULE resources, BackgroundLoad background) {
    images_.Load(config_, model_, lockWindow_ ? lockWindow_->Graphics() : nullptr, resources, background);
}

// A grid of another size may fit the screen at another scale (see ComputeLayout): then every image
// drawn at the layout's scale is made again, else only the panel.
void LockSession::FitGrid() {
    const double scale = model_.Layout.Scale;
    model_.Fit(config_.Grid, model_.ScreenWidth, model_.ScreenHeight, model_.Dpi);
    Gdiplus::Graphics* graphics = lockWindow_ ? lockWindow_->Graphics() : nullptr;
    if (model_.Layout.Scale != scale)
        images_.RebuildLockImages(model_.Layout, graphics);
    else
        images_.RebuildPanel(model_.Layout, graphics);
    model_.EnteredKeys.Reset(model_.PointCount());
}

void LockSession::RequestLock(bool isLock) { LockComputer(isLock, false); }
void LockSession::NoteActivity() { state_.NoteActivity(GetTickCount()); }

void LockSession::NotePointerMove(bool isActivity) {
    state_.SetLockWindowHidden(false);
    if (isActivity) state_.SetLastActiveTick(GetTickCount());
    state_.NoteMonitorOn();
}

void LockSession::NoteMonitorOn() { state_.NoteMonitorOn(); }
void LockSession::NoteMonitorOff() { state_.NoteMonitorOff(); }
void LockSession::RestartIdleCount() { state_.SetLastActiveTick(GetTickCount()); }
void LockSession::SetLockWindowHidden(bool hidden) { state_.SetLockWindowHidden(hidden); }

void LockSession::SetUnlockMode(int32_t mode) { state_.SetUnlockMode(mode); }

void LockSession::ToggleAutoLock() { state_.ToggleAutoLock(); }

int32_t LockSession::MeasureIdleSeconds() {
    const IdleReading reading = GetIdleSeconds(state_.LastInputTick());
    state_.NoteInputTick(reading.InputTick);
    if (reading.KeySeen) state_.NoteMonitorOn();
    return reading.Seconds;
}

int32_t LockSession::InactiveSeconds() { return GetInactiveSeconds(state_.LastActiveTick()); }

HWND LockSession::LockWindowHwnd() { return lockWindow_ ? lockWindow_->Hwnd() : nullptr; }
HWND LockSession::BackgroundHwnd() { return cover_ ? cover_->Hwnd() : nullptr; }

void LockSession::ShowIdleLockScreen() {
    if (lockWindow_) lockWindow_->PatternNormal();
}

void LockSession::ShowVerifyDialog() {
    // Its right pattern opens the configuration dialog: never while locked.
    if (state_.IsLocked()) return;
    verifyDialog_.ShowNew(std::make_unique<VerifyDialog>(config_, images_, *this, *this), GetModuleHandleA(nullptr));
}
void LockSession::ShowConfigDialog() { ::ShowConfigDialog(configDialog_, false, config_, images_, *this, *this); }
void LockSession::RunConfigDialogModally() { ::ShowConfigDialog(configDialog_, true, config_, images_, *this, *this); }
HWND LockSession::VerifyDialogHwnd() const { return verifyDialog_.Hwnd(); }
void LockSession::CloseVerifyDialog() { verifyDialog_.Close(); }
HWND LockSession::ConfigDialogHwnd() const { return configDialog_.Hwnd(); }
void LockSession::CloseConfigDialog() { configDialog_.Close(); }
bool LockSession::IsDialogKeyMessage(MSG* msg) const {
    return configDialog_.IsDialogKeyMessage(msg) || verifyDialog_.IsDialogKeyMessage(msg);
}
void LockSession::ExitApplication() { ::ExitApplication(*this); }

bool LockSession::ShowTrayBalloon(const std::string& title, const std::string& text) {
    TrayWindow* tray = tray_.Get();
    return tray && tray->ShowBalloon(title, text);
}

bool LockSession::CreateMessageWindow() {
    return messageWindow_.ShowNew(std::make_unique<MessageWindow>(config_, *this, *this), GetModuleHandleA(nullptr)) !=
           nullptr;
}

void LockSession::CloseMessageWindow() { messageWindow_.Close(); }

bool LockSession::CreateTray() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    auto tray = std::make_unique<TrayWindow>(config_, *this, *this, *this);
    if (!tray_.ShowNew(std::move(tray), instance, instance, ReadAppVersion())) return false;
    // Once at each start: locked with the default pattern, anyone who knows it can unlock.
    if (IsDefaultPattern(config_)) ShowTrayBalloon(kAppTitle, kDefaultPatternNote);
    return true;
}

void LockSession::CloseTray() { tray_.Close(); }
void LockSession::PrepareEffectStrips() {
    strips_.Prepare(cover_ ? cover_->Graphics() : nullptr, model_.ScreenWidth, model_.ScreenHeight);
}
void LockSession::ReleaseEffectStrips() { strips_.Release(); }

// The program is per-monitor aware (its manifest says so): the system scales none of its windows.
// The primary monitor's DPI as it is now: the screen DC reports the system DPI, which Windows
// fixes at sign-in and keeps when the user changes the scale afterwards. GetDpiForMonitor needs
// Windows 8.1, so it is looked up at run time.
int ReadScreenDpi() {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadSystemLibrary("shcore.dll");   // kept loaded for the program's life
        FARPROC found = shcore ? GetProcAddress(shcore, "GetDpiForMonitor") : nullptr;
        return reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void (*)()>(found));
    }();
    constexpr int kEffectiveDpi = 0;   // MDT_EFFECTIVE_DPI
    UINT dpiX = 0, dpiY = 0;
    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (getDpiForMonitor && primary && SUCCEEDED(getDpiForMonitor(primary, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0)
        return static_cast<int>(dpiX);
    HDC screen = GetDC(nullptr);
    if (!screen) return kBaseDpi;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}
