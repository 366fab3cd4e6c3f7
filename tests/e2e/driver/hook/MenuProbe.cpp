// orvo_menuprobe.dll: a window-procedure hook the driver installs on the thread of another
// program's open pop-up menu. Menu handles belong to their process under Wine, so the driver
// cannot read the menu itself; inside the owner's thread the hook can, and sends the items back.
// Asked through the registered message "OrvoMenuProbeRead" sent to the menu window, with the
// driver's window in wParam; answers with WM_COPYDATA: "count=N\n" then one "index|caption|state"
// line per item (state: the MF_ flags of GetMenuState in hexadecimal).
#include <windows.h>

namespace {

constexpr int kReplyChars = 4096;
constexpr int kCaptionChars = 256;

// Appends with wsprintfA (user32 only; no C runtime is needed inside the other process).
void AppendItem(char* reply, int& used, HMENU menu, int index) {
    char caption[kCaptionChars] = {};
    GetMenuStringA(menu, static_cast<UINT>(index), caption, kCaptionChars, MF_BYPOSITION);
    const UINT state = GetMenuState(menu, static_cast<UINT>(index), MF_BYPOSITION);
    // wsprintfA writes at most 1024 characters; stop before the reply could overflow.
    if (used + kCaptionChars + 32 >= kReplyChars) return;
    used += wsprintfA(reply + used, "%d|%s|%x\n", index, caption, state);
}

void Answer(HWND menuWindow, HWND driver) {
    char reply[kReplyChars] = {};
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : -1;
    int used = wsprintfA(reply, "count=%d\n", count);
    for (int i = 0; i < count; ++i) AppendItem(reply, used, menu, i);
    COPYDATASTRUCT data{};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>(used + 1);
    data.lpData = reply;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(driver, WM_COPYDATA, reinterpret_cast<WPARAM>(menuWindow), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, 5000, &ignored);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wp, LPARAM lp) {
    static const UINT request = RegisterWindowMessageA("OrvoMenuProbeRead");
    if (code == HC_ACTION && lp) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (request != 0 && call->message == request) Answer(call->hwnd, reinterpret_cast<HWND>(call->wParam));
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
