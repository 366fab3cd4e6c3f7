// The tray owner window, the notification-area icon and the tray menu. The icon's callback and
// the shell's and the program's broadcasts reach the window's HandleMessage.
#include "tray/TrayWindow.h"

#include <cstring>
#include <memory>

#include "core/PolicyRegistry.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "system/Messages.h"
#include "system/Restrictions.h"
#include "system/VersionInfo.h"
#include "tray/AboutWindow.h"
#include "ui/ShellRun.h"
#include "ui/SingleWindow.h"

namespace {

constexpr char kTrayIconMessageName[] = "OrvoPCLockTrayIcon";
constexpr char kTaskbarCreatedName[] = "TaskbarCreated";

UINT MenuId(int index) { return kTrayMenuIdBase + static_cast<UINT>(index); }

// A copy of an icon resource at the small-icon size the display's scaling asks for (16 pixels
// at 100 %, 24 at 150 %, 32 at 200 %); the icon holds each size, so none is scaled and blurred.
// Null when it is missing.
HICON LoadSmallIcon(HMODULE module, int id) {
    return static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

}  // namespace

// ---- the icon ----

void TrayWindow::AddIcon() {
    if (!hwnd_) return;
    // The first version of the record: the shell then sends the bare mouse message in lParam.
    iconData_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    iconData_.hWnd = hwnd_;
    iconData_.uID = 0;
    iconData_.uFlags = NIF_MESSAGE | NIF_ICON;
    iconData_.uCallbackMessage = kTrayCallbackMessage;
    iconData_.hIcon = lock_.State().IsAutoLockDisabled() ? AutoLockOffIcon() : Icon();
    // A failure is not reported: the icon comes back with the next TaskbarCreated broadcast or
    // the program's own rebuild message.
    Shell_NotifyIconA(NIM_ADD, &iconData_);
    // Wine's shell shows its hidden taskbar again when an icon is added. The icon comes while
    // locked after a lock at start-up or a restart of the shell; the taskbar must stay hidden.
    if (lock_.State().IsLocked()) HideShell(true, IsTransparentBackground(config_));
}

void TrayWindow::DeleteIcon() {
    iconData_.uFlags = 0;
    if (iconData_.hWnd) Shell_NotifyIconA(NIM_DELETE, &iconData_);
}

void TrayWindow::SetTip(const std::string& text) {
    const auto field = TrayTipField(text);
    static_assert(sizeof iconData_.szTip >= kTrayTipChars, "the tooltip field holds 64 characters");
    std::memcpy(iconData_.szTip, field.data(), kTrayTipChars);
    iconData_.uFlags = NIF_TIP;
    if (iconData_.hWnd) Shell_NotifyIconA(NIM_MODIFY, &iconData_);
}

BOOL TrayWindow::SetIconImage(HICON icon) {
    iconData_.hIcon = icon;
    iconData_.uFlags = NIF_ICON;
    if (!iconData_.hWnd) return FALSE;
    return Shell_NotifyIconA(NIM_MODIFY, &iconData_);
}

bool TrayWindow::ShowBalloon(const std::string& title, const std::string& text) {
    if (!iconData_.hWnd) return false;
    // The icon itself keeps the first version of the record; the balloon fields come with the
    // second, which changes nothing else about the icon.
    NOTIFYICONDATAA balloon{};
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.hWnd = iconData_.hWnd;
    balloon.uID = iconData_.uID;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    balloon.uTimeout = 30000;
    lstrcpynA(balloon.szInfo, text.c_str(), sizeof balloon.szInfo);
    lstrcpynA(balloon.szInfoTitle, title.c_str(), sizeof balloon.szInfoTitle);
    return Shell_NotifyIconA(NIM_MODIFY, &balloon) != FALSE;
}

void TrayWindow::FollowSecret() {
    const std::string tip = TrayTipText(version_, IsDefaultPattern(config_));
    if (tip == tipText_) return;
    tipText_ = tip;
    SetTip(tipText_);
}

void TrayWindow::RebuildIcon() {
    if (!hwnd_) return;
    DeleteIcon();
    AddIcon();
    SetTip(tipText_);
}

// ---- the window ----

LRESULT TrayWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kTrayCallbackMessage) {
        // The pointer is on the icon, before its tip shows: the tip follows the secret, which
        // the configuration dialog may have changed.
        FollowSecret();
        switch (TrayCallbackActionFor(LOWORD(lp))) {
        case TrayCallbackAction::Lock: LockFromIcon(); break;
        case TrayCallbackAction::ShowMenu: ShowTrayMenu(); break;   // may end the window
        case TrayCallbackAction::None: break;
        }
        return 0;
    }
    // A restarted shell has forgotten every icon and says so to all top-level windows; the
    // program's own registered message asks for the same. Both are 0 until the window exists,
    // and message 0 (WM_NULL) must not rebuild anything.
    if ((taskbarCreatedMessage_ != 0 && msg == taskbarCreatedMessage_) ||
        (rebuildMessage_ != 0 && msg == rebuildMessage_)) {
        RebuildIcon();
        return 0;
    }
    // "/Lock" from a second start. Anyone may ask: a lock only ever adds protection.
    if (lockRequestMessage_ != 0 && msg == lockRequestMessage_) {
        lock_.RequestLock(true);
        return 0;
    }
    switch (msg) {
    // Only ExitApplication closes the tray owner. A close request from elsewhere would take the
    // icon and the single-instance marker away while the program runs on.
    case WM_CLOSE: return 0;
    case WM_DESTROY:
        about_.Close();
        RemoveIcon();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

TrayWindow::~TrayWindow() { Close(); }

bool TrayWindow::Create(HINSTANCE instance, HMODULE resources, const AppVersion& version) {
    if (hwnd_) return true;
    if (!resources) resources = instance;
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.lpszClassName = kTrayWindowClass;
    if (!RegisterWindowClass(wc)) return false;
    icon_.reset(LoadSmallIcon(resources, IDI_TRAY));
    disabledIcon_.reset(LoadSmallIcon(resources, IDI_TRAY_DISABLED));
    version_ = version;
    tipText_ = TrayTipText(version, IsDefaultPattern(config_));
    if (!BuildMenu()) return false;
    // Never shown, and kept off the taskbar should anything show it.
    if (!CreateWindowFor(WS_EX_TOOLWINDOW, kTrayWindowClass, kTrayWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, instance))
        return false;
    ShowIcon();
    return true;
}

void TrayWindow::Close() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

namespace {
// An organisation may keep the lock running: "&Exit" then shows greyed and does nothing.
bool IsExitBarred(int index) { return index == kMenuExit && ThePolicyOverlay().NoTrayExit(); }
}  // namespace

bool TrayWindow::BuildMenu() {
    menu_.reset(CreatePopupMenu());
    if (!menu_) return false;
    for (int i = 0; i < kTrayMenuCount; ++i) {
        const std::string caption = TrayMenuCaption(i, lock_.State().IsAutoLockDisabled());
        if (IsTrayMenuSeparator(i)) AppendMenuA(menu_.get(), MF_SEPARATOR, MenuId(i), nullptr);
        else AppendMenuA(menu_.get(), MF_STRING | (IsExitBarred(i) ? MF_GRAYED : 0), MenuId(i), caption.c_str());
    }
    return true;
}

void TrayWindow::ShowIcon() {
    if (icon_) {
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    }
    rebuildMessage_ = RegisterWindowMessageA(kTrayIconMessageName);
    taskbarCreatedMessage_ = RegisterWindowMessageA(kTaskbarCreatedName);
    lockRequestMessage_ = RegisterWindowMessageA(kLockRequestMessageName);
    AddIcon();
    SetTip(tipText_);
    SetTransparentCheck();
}

void TrayWindow::RemoveIcon() {
    DeleteIcon();
    iconData_.hWnd = nullptr;
    hwnd_ = nullptr;
}

// ---- callback handlers ----

void TrayWindow::LockFromIcon() {
    // LockComputer itself ignores the request while locked or changing state.
    lock_.RequestLock(true);
}

void TrayWindow::ShowTrayMenu() {
    HWND owner = hwnd_;
    // While locked every item but "&Lock Computer" would unlock, exit or configure, and that
    // one has nothing to do: no menu at all.
    if (!owner || !menu_ || lock_.State().IsLocked()) return;
    // The configuration dialog may have changed the setting since the menu was last shown.
    SetTransparentCheck();
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    POINT at{};
    if (!GetCursorPos(&at)) at = POINT{0, 0};
    // The choice comes back as the result, so no WM_COMMAND from another program can pick an
    // item; the item runs after the menu has closed.
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         at.x, at.y, 0, owner, nullptr));
    // A menu of a window that is not shown otherwise comes up only every second time unless the
    // owner gets a message after it closes.
    PostMessageA(owner, WM_NULL, 0, 0);
    if (chosen >= kTrayMenuIdBase && chosen < kTrayMenuIdBase + kTrayMenuCount)
        RunMenuItem(static_cast<int>(chosen - kTrayMenuIdBase));
}

void TrayWindow::RunMenuItem(int index) {
    // Only the pattern ends a lock; a choice that reaches here while locked is refused.
    if (lock_.State().IsLocked()) return;
    switch (index) {
    case kMenuLock: lock_.RequestLock(true); break;
    case kMenuConfigure: windows_.ShowVerifyDialog(); break;
    case kMenuAbout: about_.Show(GetModuleHandleA(nullptr), nullptr, ExecutablePath()); break;
    case kMenuOnlineHelp: OpenOnlineHelp(); break;
    case kMenuTransparentBackground: ToggleTransparentBackground(); break;
    case kMenuAutoLock: ToggleAutoLock(); break;
    // Closes this window too: nothing of this object may be used after it.
    case kMenuExit:
        if (!IsExitBarred(index)) windows_.ExitApplication();
        break;
    default: break;
    }
}

void TrayWindow::OpenOnlineHelp() {
    // Nothing to report when no browser opens: the result is not used.
    RunShellExecute(nullptr, "open", ORVO_FAQ_URL, nullptr, nullptr, SW_SHOWNORMAL);
}

void TrayWindow::ToggleTransparentBackground() {
    // Not saved here: the configuration dialog writes the file when it closes.
    config_.TransparentBackground = ToggledTransparentBackground(config_.TransparentBackground);
    SetTransparentCheck();
}

void TrayWindow::ToggleAutoLock() {
    if (lock_.State().IsAutoLockDisabled()) {
        SetIconImage(Icon());
        SetMenuCaption(kMenuAutoLock, kDisableAutoLockCaption);
    } else {
        SetIconImage(AutoLockOffIcon());
        SetMenuCaption(kMenuAutoLock, kEnableAutoLockCaption);
    }
    notes_.ToggleAutoLock();
}

void TrayWindow::SetTransparentCheck() {
    if (!menu_) return;
    CheckMenuItem(menu_.get(), MenuId(kMenuTransparentBackground),
                  MF_BYCOMMAND | (IsTransparentBackground(config_) ? MF_CHECKED : MF_UNCHECKED));
}

void TrayWindow::SetMenuCaption(int index, const std::string& caption) {
    if (!menu_) return;
    ModifyMenuA(menu_.get(), MenuId(index), MF_BYCOMMAND | MF_STRING, MenuId(index), caption.c_str());
}
