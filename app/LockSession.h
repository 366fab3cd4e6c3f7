// The lock session: the one owner of the lock state, and the procedure that moves the program
// between unlocked and locked.
#pragma once

#include <cstdint>
#include <memory>

#include "app/FailClosed.h"
#include "core/ConfigData.h"
#include "core/LockScreenModel.h"
#include "cover/EffectStrips.h"
#include "cover/MonitorCovers.h"
#include "cover/WatchdogPolicy.h"
#include "ui/ImageTable.h"
#include "ui/SingleWindow.h"
#include "ui/LockRoles.h"
#include "core/PolicyNotice.h"

class LockWindow;
class LockedSettings;
class ConfigDialog;
class MessageWindow;
class PrimaryCover;
class TrayWindow;
class VerifyDialog;

// Every role the windows are given (ui/LockRoles.h) is this session's.
class LockSession final : public LockControl, public ActivityNotes, public WindowDirectory, public LockScreenSettings {
public:
    // WinMain makes the program's one session (a test makes its own).
    LockSession();
    LockSession(const LockSession&) = delete;
    LockSession& operator=(const LockSession&) = delete;
    ~LockSession();

    // Locks (isLock true) or unlocks. isStartup suppresses the closing animation of a lock made
    // at program start. A lock request while already locked or while a transition runs is
    // ignored; an unlock requested while a lock is being put up runs once that lock is complete.
    void LockComputer(bool isLock, bool isStartup);
    // A lock whose restrictions were given back while it stood (a session's end that did not
    // come) is put up again in full; nothing happens unless locked.
    void LockAgain();
    // The system settings the lock changes (accessibility hot keys, edge gestures): the system's
    // own unless a test stands in (nullptr: the system's again).
    LockedSettings& Settings() const { return *settings_; }
    void UseSettings(LockedSettings* settings);
    // Start-up holds every lock until the first-run or broken-file flow has ended.
    void HoldLocks(bool held) { state_.HoldLocks(held); }

    // The settings record: the windows read it; the configuration dialog, the tray's
    // transparency switch and the alert-mode repair write it.
    const ConfigData& Config() const { return config_; }
    ConfigData& Config() { return config_; }
    // The pictures and painted images the windows draw from.
    ImageTable& Images() { return images_; }
    // The wipes' strips, cut from the picture for the primary cover.
    EffectStrips& Strips() { return strips_; }
    const LockState& State() const override { return state_; }
    const LockScreenModel& Model() const override { return model_; }
    // The record the session and the start-up write (and the tests set up).
    LockScreenModel& Model() { return model_; }
    void FitGrid() override;
    void SetAlertText(const std::string& text) override { model_.AlertText = text; }

    // The session's two full-screen windows: made hidden at start-up, closed at exit. Null
    // when there is none.
    bool CreateLockWindow(HINSTANCE instance);
    bool CreateCover(HINSTANCE instance);
    void CloseLockWindow();
    void CloseCover();
    LockWindow* LockWindowObject() const { return lockWindow_.get(); }
    PrimaryCover* Cover() const { return cover_.get(); }
    // The covers of the further monitors: made hidden at start-up, closed at exit.
    MonitorCovers& FurtherCovers() { return furtherCovers_; }
    // The message window with the hot keys and the policy refresh.
    bool CreateMessageWindow();
    void CloseMessageWindow();
    MessageWindow* MessageWindowObject() const { return messageWindow_.Get(); }
    // The tray owner window and its icon; made, it tells once when the default pattern unlocks.
    // The close may run inside one of the window's own handlers (the menu's "&Exit"): nothing
    // there touches the object after it.
    bool CreateTray();
    void CloseTray();
    TrayWindow* TrayObject() const { return tray_.Get(); }
    // The hidden window that hears the session's end.
    bool CreateSessionEndWindow() { return sessionEnd_.Create(GetModuleHandleA(nullptr)); }
    void CloseSessionEndWindow() { sessionEnd_.Close(); }
    // The verify and configuration dialogs, at most one of each; a close saves the settings
    // the configuration dialog shows.
    HWND VerifyDialogHwnd() const;
    const VerifyDialog* VerifyDialogObject() const { return verifyDialog_.Get(); }
    void CloseVerifyDialog();
    HWND ConfigDialogHwnd() const;
    const ConfigDialog* ConfigDialogObject() const { return configDialog_.Get(); }
    void CloseConfigDialog();
    // The configuration dialog, waited for (the first run's defaults).
    void RunConfigDialogModally();
    // Tab, Enter, Esc and the arrow keys of an open dialog, for the message loop; true when
    // the message was one of them and has been handled.
    bool IsDialogKeyMessage(MSG* msg) const;
    // The image table filled for the lock window's graphics, the pictures from resources
    // (null: the program's own).
    void LoadImages(HMODULE resources = nullptr, BackgroundLoad background = BackgroundLoad::Now);
    void RequestLock(bool isLock) override;
    void NoteActivity() override;
    void NotePointerMove(bool isActivity) override;
    void NoteMonitorOn() override;
    void NoteMonitorOff() override;
    void RestartIdleCount() override;
    void SetLockWindowHidden(bool hidden) override;
    void SetUnlockMode(int32_t mode) override;
    void ToggleAutoLock() override;
    int32_t MeasureIdleSeconds() override;
    int32_t InactiveSeconds() override;
    std::string RestrictionFailureText() const override;
    HWND LockWindowHwnd() override;
    HWND BackgroundHwnd() override;
    void ShowIdleLockScreen() override;
    void ShowVerifyDialog() override;
    void ShowConfigDialog() override;
    bool IsConfigDialogOpen() const override { return ConfigDialogHwnd() != nullptr; }
    void ExitApplication() override;
    bool ShowTrayBalloon(const std::string& title, const std::string& text) override;
    void PrepareEffectStrips() override;
    void ReleaseEffectStrips() override;
    bool FollowDisplay() override;

private:
    void Lock(bool isStartup);
    void Unlock();
    // The policies of a lock: through the lock service when it answers, else written here.
    PolicyFailures ApplyLockPolicies();
    void RestoreLockPolicies();
    void ShuffleLetters();
    // FollowDisplay's parts (app/FollowDisplay.cpp).
    // True when the geometry changed; resized: the primary screen's size did.
    bool ReadDisplay(bool* resized);
    void FitScreen(int width, int height);
    void CoverAgain();

    ConfigData config_;
    LockState state_;
    LockScreenModel model_;
    ImageTable images_;
    EffectStrips strips_{images_};
    // Before the primary cover, whose watchdog keeps them on top: they outlive it.
    MonitorCovers furtherCovers_{config_, model_, images_, *this, *this};
    std::unique_ptr<LockWindow> lockWindow_;
    std::unique_ptr<PrimaryCover> cover_;
    SingleWindow<MessageWindow> messageWindow_;
    SingleWindow<TrayWindow> tray_;
    SingleWindow<VerifyDialog> verifyDialog_;
    SingleWindow<ConfigDialog> configDialog_;
    SessionEndWindow sessionEnd_{*this};
    PolicyFailures lockFailures_;   // what the current or last lock could not apply
    bool serviceHolds_ = false;     // the lock service applied this lock's policies
    OnceNotice missingServiceNotice_;   // a required service did not answer a lock
    PolicyNotice notice_;
    // The geometry the windows were last laid out for; empty before the first lock.
    DisplayGeometry display_;
    LockedSettings* settings_;
};

// The primary monitor's DPI as the system reports it; 96 when it cannot be read.
int ReadScreenDpi();
