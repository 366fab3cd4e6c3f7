// The tray owner window: a hidden top-level window titled "Orvo PC Lock Tray" (which also tells
// a second start that the program runs), the icon in the notification area, and its menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "system/StartupText.h"
#include "system/WinHandles.h"
#include "tray/AboutWindow.h"
#include "tray/TrayText.h"
#include "ui/LockRoles.h"
#include "ui/SingleWindow.h"
#include "ui/Window.h"

struct ConfigData;

inline constexpr const char kTrayWindowTitle[] = "Orvo PC Lock Tray";

inline constexpr char kTrayWindowClass[] = "OrvoPCLockTrayForm";
// Command identifier of TrayMenu's item at index i.
inline constexpr UINT kTrayMenuIdBase = 1000;
// Registered message a second start with "/Lock" posts to the tray owner window: lock now.
inline constexpr char kLockRequestMessageName[] = "OrvoPCLockLockRequest";

class TrayWindow : public Window<TrayWindow> {
public:
    // The menu's transparent-cover switch writes `config`, and the tooltip tells whether it
    // holds the default pattern.
    TrayWindow(ConfigData& config, LockControl& lock, ActivityNotes& notes, WindowDirectory& windows)
        : config_(config), lock_(lock), notes_(notes), windows_(windows) {}
    TrayWindow(const TrayWindow&) = delete;
    TrayWindow& operator=(const TrayWindow&) = delete;
    ~TrayWindow();

    // The hidden window with its icons and menu; puts the icon into the notification area.
    // Icons come from `resources` (the program itself when null); the tooltip shows `version`.
    bool Create(HINSTANCE instance, HMODULE resources, const AppVersion& version);
    // Closes the window, which takes the icon out of the notification area (for an object made
    // outside the program's one tray window, as the tests do).
    void Close();

    HMENU TrayMenu() const { return menu_.get(); }
    HICON Icon() const { return icon_.get(); }                    // the window icon: autolock on
    HICON AutoLockOffIcon() const { return disabledIcon_.get(); }
    const std::string& TipText() const { return tipText_; }
    // The record the icon was last given to the shell with; hWnd is null while there is no icon.
    const NOTIFYICONDATAA& IconData() const { return iconData_; }
    // The shell's "TaskbarCreated" and the program's "OrvoPCLockTrayIcon": both rebuild the icon.
    // 0 until the window exists.
    UINT TaskbarCreatedMessage() const { return taskbarCreatedMessage_; }
    UINT RebuildMessage() const { return rebuildMessage_; }

    // Removes and re-adds the icon with its tooltip (a shell that lost it).
    void RebuildIcon();
    // The tip again when the secret became or stopped being the default pattern.
    void FollowSecret();
    // A notification balloon from the icon; false when there is no icon or the shell refused.
    bool ShowBalloon(const std::string& title, const std::string& text);

    // What the icon's callback asks for (HandleMessage dispatches to them).
    void LockFromIcon();
    void ShowTrayMenu();
    // Runs a chosen menu item, by its index in TrayMenu (TrayMenuIndex).
    void RunMenuItem(int index);
    // The about window "&About" opens; it closes with the tray window at the latest.
    void CloseAboutWindow() { about_.Close(); }

private:
    friend class Window<TrayWindow>;
    // The icon's callback, the shell's and the program's rebuild broadcasts, the lock request
    // of a second start, and the refused close.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void ShowIcon();
    void RemoveIcon();
    // The icon in the notification area: the autolock-off picture while auto-lock is disabled.
    void AddIcon();
    void DeleteIcon();
    void SetTip(const std::string& text);
    BOOL SetIconImage(HICON icon);
    void ToggleTransparentBackground();
    void ToggleAutoLock();
    void OpenOnlineHelp();
    bool BuildMenu();
    void SetTransparentCheck();
    void SetMenuCaption(int index, const std::string& caption);

    ConfigData& config_;
    LockControl& lock_;
    ActivityNotes& notes_;   // the auto-lock switch
    WindowDirectory& windows_;   // the verify dialog and the exit
    // Declared before the window so that they outlive it: the window and the shell use them.
    UniqueHicon icon_;
    UniqueHicon disabledIcon_;
    UniqueHmenu menu_;
    std::string tipText_;
    AppVersion version_{};
    NOTIFYICONDATAA iconData_{};
    UINT taskbarCreatedMessage_ = 0;
    UINT rebuildMessage_ = 0;
    UINT lockRequestMessage_ = 0;
    SingleWindow<AboutWindow> about_;
};
