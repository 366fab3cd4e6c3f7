// Hot keys and the subclass of the background cover's window.
#include "app/MessageWindow.h"

#include "app/HotKeys.h"
#include "app/LockSession.h"
#include "core/AppState.h"
#include "lockscreen/FrmVerify.h"
#include "tray/FrmTray.h"

HWND MessageWindow = nullptr;
WNDPROC PrevWindowProc = nullptr;
std::array<int32_t, 2> HotKeyIds{};

namespace {

std::array<ATOM, 2> HotKeyAtoms{};

void RegisterOneHotKey(int entry, const char* atomName, UINT key) {
    HotKeyAtoms[entry] = GlobalAddAtomA(atomName);
    HotKeyIds[entry] = HotKeyIdFromAtom(HotKeyAtoms[entry]);
    // Without an atom both entries would share the identifier 0; such a hot key stays off.
    // When another program owns the key RegisterHotKey fails and the key simply never arrives.
    if (HotKeyAtoms[entry] != 0) RegisterHotKey(MessageWindow, HotKeyIds[entry], kHotKeyModifiers, key);
}

void UnregisterOneHotKey(int entry) {
    if (HotKeyAtoms[entry] == 0) return;
    UnregisterHotKey(MessageWindow, HotKeyIds[entry]);
    GlobalDeleteAtom(HotKeyAtoms[entry]);
    HotKeyAtoms[entry] = 0;
    HotKeyIds[entry] = 0;
}

LRESULT OnHotKey(WPARAM wp) {
    switch (HotKeyActionFor(static_cast<uint64_t>(wp), HotKeyIds, CurrentLockState().IsLocked(),
                            CurrentLockState().IsBusy())) {
    case HotKeyAction::Lock: LockComputer(true, false); break;
    case HotKeyAction::Configure: ShowVerifyDialog(); break;
    case HotKeyAction::None: break;
    }
    return 0;
}

}  // namespace

void HookWindow(HWND hwnd) {
    if (!hwnd || MessageWindow) return;
    MessageWindow = hwnd;
    RegisterOneHotKey(0, kLockHotKeyAtom, kLockHotKeyKey);
    RegisterOneHotKey(1, kConfigureHotKeyAtom, kConfigureHotKeyKey);
    PrevWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MessageWindowProc)));
}

void UnhookWindow() {
    if (!MessageWindow) return;
    UnregisterOneHotKey(0);
    UnregisterOneHotKey(1);
    if (PrevWindowProc && IsWindow(MessageWindow))
        SetWindowLongPtrA(MessageWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevWindowProc));
    MessageWindow = nullptr;
    PrevWindowProc = nullptr;
}

LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // TrayIconMessage is 0 until the tray exists; message 0 (WM_NULL) must not rebuild a tray
    // icon that has no owner window yet.
    if (TrayIconMessage != 0 && msg == TrayIconMessage) {
        RebuildTrayIcon();
        return 0;
    }
    switch (msg) {
    case WM_HOTKEY: return OnHotKey(wp);
    // The cover cannot be closed (Alt + F4, another program's WM_CLOSE), moved, dragged by its
    // frame, activated through WM_ACTIVATE or renamed, and it tells nobody a title.
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_ACTIVATE:
    case WM_MOVE:
    case WM_NCLBUTTONDOWN: return 0;
    }
    if (!PrevWindowProc) return DefWindowProcA(hwnd, msg, wp, lp);
    return CallWindowProcA(PrevWindowProc, hwnd, msg, wp, lp);
}
