// The hot keys: their registration, owned by the program's own message window, and what a
// WM_HOTKEY asks for.
#include "app/MessageWindow.h"

#include "app/HotKeys.h"
#include "app/Startup.h"
#include "system/Messages.h"

namespace {

constexpr UINT kPolicyRefreshMs = 60 * 1000;

// MOD_NOREPEAT keeps a held key from locking again at each repeat. Windows before 7 refuse
// the flag as invalid; they get the key without it.
bool RegisterWithoutRepeat(HWND owner, int id, UINT key) {
    if (RegisterHotKey(owner, id, kHotKeyModifiers | kHotKeyNoRepeat, key)) return true;
    if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) return false;
    return RegisterHotKey(owner, id, kHotKeyModifiers, key) != FALSE;
}

}  // namespace

// ---- the registration ----

HotKeyRegistration::HotKeyRegistration(HWND owner) : owner_(owner) {
    Register(0, kLockHotKeyAtom, kLockHotKeyKey);
    Register(1, kConfigureHotKeyAtom, kConfigureHotKeyKey);
}

HotKeyRegistration::~HotKeyRegistration() {
    Unregister(0);
    Unregister(1);
}

void HotKeyRegistration::Register(int entry, const char* atomName, UINT key) {
    atoms_[entry] = GlobalAddAtomA(atomName);
    ids_[entry] = HotKeyIdFromAtom(atoms_[entry]);
    // Without an atom both entries would share the identifier 0; such a hot key stays off.
    // Another program (the shell, on Windows 10 and 11) may own the key: the failure is kept
    // and the tray says so once it exists.
    failed_[entry] = atoms_[entry] == 0 || !RegisterWithoutRepeat(owner_, ids_[entry], key);
}

void HotKeyRegistration::Unregister(int entry) {
    if (atoms_[entry] == 0) return;
    UnregisterHotKey(owner_, ids_[entry]);
    GlobalDeleteAtom(atoms_[entry]);
    atoms_[entry] = 0;
    ids_[entry] = 0;
}

// ---- the window ----

// Only for a window that never finished being made: a made one takes the object with it.
MessageWindow::~MessageWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool MessageWindow::Create(HINSTANCE instance) {
    if (hwnd_) return true;
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.lpszClassName = kMessageWindowClass;
    if (!RegisterWindowClass(wc)) return false;
    // Message-only: no title, never shown, found by no window enumeration or broadcast.
    if (!CreateWindowFor(0, kMessageWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance))
        return false;
    hotKeys_ = std::make_unique<HotKeyRegistration>(hwnd_);
    return true;
}

std::array<int32_t, 2> MessageWindow::HotKeyIds() const {
    return hotKeys_ ? hotKeys_->Ids() : std::array<int32_t, 2>{};
}

std::array<bool, 2> MessageWindow::FailedHotKeys() const {
    return hotKeys_ ? hotKeys_->Failed() : std::array<bool, 2>{};
}

LRESULT MessageWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_HOTKEY: LockOrConfigure(wp); return 0;
    case WM_TIMER:
        if (wp == kPolicyRefreshTimer) {
            OnPolicyRefreshTick();
            return 0;
        }
        break;
    // The keys go while the window they are registered to still exists.
    case WM_DESTROY: UnregisterHotKeys(); return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void MessageWindow::LockOrConfigure(WPARAM hotKeyId) {
    switch (HotKeyActionFor(static_cast<uint64_t>(hotKeyId), HotKeyIds(), lock_.State().IsLocked(),
                            lock_.State().IsBusy())) {
    case HotKeyAction::Lock: lock_.RequestLock(true); break;
    case HotKeyAction::Configure: windows_.ShowVerifyDialog(); break;
    case HotKeyAction::None: break;
    }
}

void MessageWindow::UnregisterHotKeys() {
    hotKeys_.reset();
}

void MessageWindow::StartPolicyRefresh() {
    if (hwnd_) SetTimer(hwnd_, kPolicyRefreshTimer, kPolicyRefreshMs, nullptr);
}

void MessageWindow::OnPolicyRefreshTick() { RefreshPolicies(config_, lock_, windows_); }
