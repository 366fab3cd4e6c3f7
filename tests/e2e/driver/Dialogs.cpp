// Message boxes of the program under test: read their text, press their buttons.
#include "Driver.h"

#include <cstdio>

namespace {
constexpr int kMessageTextId = 0xFFFF;   // the static text of a MessageBox dialog
constexpr DWORD kPollMs = 20;
}  // namespace

// Waits for a dialog with this caption and prints its message text.
int CmdMsgboxWait(const Args& args) {
    if (args.size() != 3) return Fail("usage: msgbox-wait <caption> <timeout_ms>", kExitUsage);
    auto timeout = ParseNumber(args[2]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    uint64_t start = NowMs();
    for (;;) {
        HWND dialog = FindTopWindow("#32770", args[1]);
        if (dialog && IsWindowVisible(dialog)) {
            char text[2048] = {};
            GetDlgItemTextA(dialog, kMessageTextId, text, sizeof(text));
            std::printf("%s\n", text);
            return kExitOk;
        }
        if (NowMs() - start >= static_cast<uint64_t>(*timeout))
            return Fail("no message box '" + args[1] + "' after " + args[2] + " ms");
        Sleep(kPollMs);
    }
}

// Posts the button's click: SendMessage would block when the click opens another modal box.
int CmdMsgboxClick(const Args& args) {
    if (args.size() != 3) return Fail("usage: msgbox-click <caption> <button id>", kExitUsage);
    auto id = ParseNumber(args[2]);
    if (!id || *id < 0 || *id > 0xFFFF) return Fail("bad button id", kExitUsage);
    HWND dialog = FindTopWindow("#32770", args[1]);
    if (!dialog) return Fail("no message box '" + args[1] + "'");
    int buttonId = static_cast<int>(*id);
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button) return Fail("message box '" + args[1] + "' has no button " + args[2]);
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        return Fail("PostMessage failed");
    std::printf("clicked %d\n", buttonId);
    return kExitOk;
}
