// LockComputer: the one path between unlocked and locked. The steps run in a fixed order and each
// runs even when an earlier one failed, so a failure only leaves its own effect undone.
#include "app/LockSession.h"

#include <windows.h>

#include "app/FailClosed.h"
#include "app/Startup.h"
#include "configui/FrmConfig.h"
#include "core/AppState.h"
#include "cover/FrmBackground.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/FrmPattern.h"
#include "lockscreen/FrmVerify.h"
#include "system/KeyboardLock.h"
#include "system/PowerActions.h"
#include "system/RandomSource.h"
#include "system/Restrictions.h"
#include "tray/FrmTray.h"
#include "ui/DoEvents.h"
#include "ui/ImageTable.h"

namespace {

// Topmost at (0, 0) with the size kept; without SWP_NOACTIVATE this also activates the window.
void PlaceTopmost(HWND hwnd) {
    if (hwnd) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
}

bool IsTransparent() { return Config.TransparentBackground == 1; }

}  // namespace

// Dynamic Password Mode: a fresh assignment of letters to the points at every lock, for the
// grid of the settings (the layout may not follow a grid changed meanwhile yet).
void LockSession::ShuffleLetters() {
    const int side = GridSideOf(Config.Grid);
    const int points = side * side;
    model_.PointLetters = MakeRandomLetters(points, CryptoUniform);
    model_.EnteredKeys.Reset(points);
}

void LockSession::Lock(bool isStartup) {
    // The screen may have changed size since start-up or the last lock.
    bool resized = false;
    if (ReadDisplay(&resized) && resized) ReloadBackgroundImage();
    ShowMonitorCovers(true);

    if (HWND background = BackgroundHwnd()) {
        ShowWindow(background, SW_SHOW);
        PlaceTopmost(background);
    }
    if (!isStartup && Config.Effect != 0 && cover_) {
        PrepareEffectStrips();
        DoEvents();
        cover_->LockEffectShow();
    }
    if (cover_) cover_->IniBackground();

    HideShell(true, IsTransparent());
    // The system shortcuts are held back in both settings of "Lock keyboard".
    HookKeyboard(true, state_.UnlockMode(), Config.LockKeyboard != 0);
    lockFailures_ = ApplyPolicies();
    // The lock screen shows the settings' alert text as it is now (the defaults of a first run
    // may have replaced it after start-up).
    model_.AlertText = ReadFixedText(Config.AlertWord);
    if (state_.UnlockMode() == kDynamicPasswordMode) ShuffleLetters();

    if (HWND pattern = LockWindowHwnd()) {
        ShowWindow(pattern, SW_SHOW);
        PlaceTopmost(pattern);
        lockWindow_->PatternNormal();
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
    if (Config.Disconnection != 0) HangUpConnections();
}

void LockSession::Unlock() {
    // Stopped first: the watchdog must not raise windows while the unlock takes them down.
    if (cover_) cover_->EnableWatchdog(false);
    LockSetForegroundWindow(LSFW_UNLOCK);

    if (HWND pattern = LockWindowHwnd()) ShowWindow(pattern, SW_HIDE);

    if (Config.Effect != 0 && cover_) {
        cover_->IniEffectShow();
        PlaceTopmost(BackgroundHwnd());
        PrepareUnlockStrip(cover_->Graphics());
        DoEvents();
        cover_->UnlockEffectShow();
    }

    HideShell(false, IsTransparent());
    HookKeyboard(false);
    RestorePolicies();

    if (HWND background = BackgroundHwnd()) ShowWindow(background, SW_HIDE);
    ShowMonitorCovers(false);
}

void LockSession::LockComputer(bool isLock, bool isStartup) {
    if (isLock) {
        if (!state_.BeginLock(GetTickCount())) return;
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
}

LockSession::LockSession() { Register(this); }

// The session lives until the process ends, after GDI+ has been shut down: windows still open
// then go with the process instead of freeing GDI+ objects into a closed library.
LockSession::~LockSession() {
    (void)lockWindow_.release();
    (void)cover_.release();
}

bool LockSession::CreateLockWindow(HINSTANCE instance) {
    if (lockWindow_ && lockWindow_->Hwnd()) return true;
    lockWindow_ = std::make_unique<FrmPattern>(model_);
    if (!lockWindow_->Create(instance)) lockWindow_.reset();
    return lockWindow_ != nullptr;
}

bool LockSession::CreateCover(HINSTANCE instance) {
    if (cover_ && cover_->Hwnd()) return true;
    cover_ = std::make_unique<FrmBackground>(model_);
    if (!cover_->Create(instance)) cover_.reset();
    return cover_ != nullptr;
}

void LockSession::CloseLockWindow() { lockWindow_.reset(); }
void LockSession::CloseCover() { cover_.reset(); }

void LockSession::LoadImages(HMODULE resources) {
    ::LoadImages(lockWindow_ ? lockWindow_->Graphics() : nullptr, resources);
}

// A grid of another size may fit the screen at another scale (see IniLayout): then every image
// drawn at the layout's scale is made again, else only the panel.
void LockSession::FitGrid() {
    const double scale = model_.Layout.Scale;
    model_.Fit(Config.Grid, model_.ScreenWidth, model_.ScreenHeight, model_.Dpi);
    Gdiplus::Graphics* graphics = lockWindow_ ? lockWindow_->Graphics() : nullptr;
    if (model_.Layout.Scale != scale)
        RebuildLockImages(graphics);
    else
        RebuildPanelImage(graphics);
    model_.EnteredKeys.Reset(model_.PointCount());
}

LockSession& TheLockSession() {
    static LockSession session;
    return session;
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

void LockSession::ShowVerifyDialog() { ::ShowVerifyDialog(); }
void LockSession::ShowConfigDialog() { ::ShowConfigDialog(false); }
void LockSession::ExitApplication() { ::ExitApplication(); }
void LockSession::PrepareEffectStrips() { ::PrepareEffectStrips(cover_ ? cover_->Graphics() : nullptr); }
void LockSession::ReleaseEffectStrips() { ::ReleaseEffectStrips(); }

void LockComputer(bool isLock, bool isStartup) { TheLockSession().LockComputer(isLock, isStartup); }

// The program is per-monitor aware (its manifest says so): the system scales none of its windows.
// The primary monitor's DPI as it is now: the screen DC reports the system DPI, which Windows
// fixes at sign-in and keeps when the user changes the scale afterwards. GetDpiForMonitor needs
// Windows 8.1, so it is looked up at run time.
int ReadScreenDpi() {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryA("shcore.dll");   // kept loaded for the program's life
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
