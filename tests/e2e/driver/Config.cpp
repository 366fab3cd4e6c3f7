// Dialog controls of the program under test, reached the way a person finds them: a list by the
// caption on its row, a button by its text. Lists every control with its text, reads and picks
// drop-down entries, clicks buttons, fills the common file dialog, and gives the client origin
// of a window so scripts can point at places inside it.
#include "Driver.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 20;
constexpr int kFileNameComboId = 0x47C;   // the file name box of the common file dialog
constexpr int kFileNameEditId = 0x480;    // its older single-edit form

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Text of a control of another process; WM_GETTEXT is marshalled between processes.
std::string ControlText(HWND control) {
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &length))
        return {};
    return std::string(text, length < sizeof text ? static_cast<size_t>(length) : sizeof text - 1);
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> children;
    EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// The rectangle in the top-level window's client coordinates.
RECT RectIn(HWND top, HWND control) {
    RECT rc{};
    if (!GetWindowRect(control, &rc)) return rc;
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool IsClass(HWND hwnd, const char* name) { return lstrcmpiA(WindowClassOf(hwnd).c_str(), name) == 0; }

// Visible to the user: the control and every window above it shown.
bool IsShown(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

HWND RequireTop(const std::string& title) {
    HWND top = FindTopWindow("-", title);
    if (!top) Fail("no window titled '" + title + "'");
    return top;
}

// The shown control of the class whose text is `text` (exactly, else blank-trimmed).
HWND FindByText(HWND top, const char* className, const std::string& text) {
    HWND trimmedMatch = nullptr;
    for (HWND child : Descendants(top)) {
        if ((className && !IsClass(child, className)) || !IsShown(child)) continue;
        const std::string own = ControlText(child);
        if (own == text) return child;
        if (!trimmedMatch && Trim(own) == Trim(text) && !Trim(text).empty()) trimmedMatch = child;
    }
    return trimmedMatch;
}

// "#id" names a control by its id; any other text names the label or button on the row of the
// wanted combo box, which is then the nearest shown combo box to its right on that row.
HWND FindCombo(HWND top, const std::string& row) {
    if (!row.empty() && row[0] == '#') {
        auto id = ParseNumber(row.substr(1));
        if (!id) return nullptr;
        for (HWND child : Descendants(top))
            if (GetDlgCtrlID(child) == *id && IsClass(child, "ComboBox")) return child;
        return nullptr;
    }
    HWND anchor = FindByText(top, nullptr, row);
    if (!anchor) return nullptr;
    const RECT a = RectIn(top, anchor);
    const LONG middle = (a.top + a.bottom) / 2;
    HWND best = nullptr;
    LONG bestDistance = 0;
    for (HWND child : Descendants(top)) {
        if (!IsClass(child, "ComboBox") || !IsShown(child)) continue;
        const RECT c = RectIn(top, child);
        if (c.left < a.right - 2 || middle < c.top || middle > c.bottom) continue;
        if (!best || c.left - a.right < bestDistance) {
            best = child;
            bestDistance = c.left - a.right;
        }
    }
    return best;
}

LRESULT SendTo(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool& ok) {
    DWORD_PTR result = 0;
    ok = SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
    return static_cast<LRESULT>(result);
}

}  // namespace

// Every control of the window: id, class, shown and enabled state, rectangle in client
// coordinates, text.
// Line breaks in a text are shown as \r and \n so that each control stays on one line.
int CmdControls(const Args& args) {
    if (args.size() != 2) return Fail("usage: controls <title>", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    for (HWND child : Descendants(top)) {
        const RECT rc = RectIn(top, child);
        std::string text;
        for (char c : ControlText(child)) text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
        std::printf("id=%d class=%s shown=%d enabled=%d rect=%ld,%ld,%ld,%ld text=%s\n", GetDlgCtrlID(child),
                    WindowClassOf(child).c_str(), IsShown(child) ? 1 : 0, IsWindowEnabled(child) ? 1 : 0, rc.left,
                    rc.top, rc.right, rc.bottom, text.c_str());
    }
    return kExitOk;
}

// The entries of a drop-down list and its selection (-1 = none).
int CmdComboItems(const Args& args) {
    if (args.size() != 3) return Fail("usage: combo-items <title> <row text|#id>", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    HWND combo = FindCombo(top, args[2]);
    if (!combo) return Fail("no shown list on the row of '" + args[2] + "'");
    bool ok = false;
    const LRESULT count = SendTo(combo, CB_GETCOUNT, 0, 0, ok);
    if (!ok || count < 0) return Fail("the list does not answer");
    std::printf("selected=%lld\n", static_cast<long long>(SendTo(combo, CB_GETCURSEL, 0, 0, ok)));
    // Asked for in UTF-16: between processes Wine hands the ANSI form of the entry back as
    // UTF-16 all the same, which would end each text after its first letter.
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[512] = {};
        const LRESULT length = SendTo(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, ok);
        if (!ok || length < 0 || length >= 512) return Fail("entry too long");
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide),
                                 SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
            return Fail("the list does not answer");
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
        std::printf("item=%s\n", text);
    }
    return kExitOk;
}

// Picks an entry as a user does: the list's selection changes, then its owner hears
// CBN_SELCHANGE. The notification is posted, because picking may open a message box.
int CmdComboSelect(const Args& args) {
    if (args.size() != 4) return Fail("usage: combo-select <title> <row text|#id> <index>", kExitUsage);
    auto index = ParseNumber(args[3]);
    if (!index || *index < 0) return Fail("bad index", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    HWND combo = FindCombo(top, args[2]);
    if (!combo) return Fail("no shown list on the row of '" + args[2] + "'");
    if (!IsWindowEnabled(combo)) return Fail("the list is disabled");
    bool ok = false;
    if (SendTo(combo, CB_SETCURSEL, static_cast<WPARAM>(*index), 0, ok) == CB_ERR || !ok)
        return Fail("the list has no entry " + args[3]);
    const int id = GetDlgCtrlID(combo);
    if (!PostMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo)))
        return Fail("PostMessage failed");
    std::printf("selected=%lld\n", *index);
    return kExitOk;
}

// Clicks the shown button with this text (e.g. "&OK"). Push buttons report the click to their
// owner, posted so that a message box it opens does not block the driver; check boxes get a
// click of their own so that their tick changes as well.
int CmdClickButton(const Args& args) {
    if (args.size() != 3) return Fail("usage: click-button <title> <button text>", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    HWND button = FindByText(top, "Button", args[2]);
    if (!button) return Fail("no shown button '" + args[2] + "'");
    if (!IsWindowEnabled(button)) return Fail("the button '" + args[2] + "' is disabled");
    const LONG_PTR type = GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK;
    const bool isCheck = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                         type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    BOOL posted = isCheck ? PostMessageA(button, BM_CLICK, 0, 0)
                          : PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                                         reinterpret_cast<LPARAM>(button));
    if (!posted) return Fail("PostMessage failed");
    std::printf("clicked %s\n", args[2].c_str());
    return kExitOk;
}

// Replaces the text of a control, found by id ("#id") or by its current text.
int CmdSetText(const Args& args) {
    if (args.size() != 4) return Fail("usage: set-text <title> <#id|text> <new text>", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    HWND control = nullptr;
    if (!args[2].empty() && args[2][0] == '#') {
        auto id = ParseNumber(args[2].substr(1));
        for (HWND child : Descendants(top))
            if (id && GetDlgCtrlID(child) == *id) control = child;
    } else {
        control = FindByText(top, nullptr, args[2]);
    }
    if (!control) return Fail("no control '" + args[2] + "'");
    bool ok = false;
    SendTo(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str()), ok);
    if (!ok) return Fail("WM_SETTEXT failed");
    std::printf("set %zu characters\n", args[3].size());
    return kExitOk;
}

// Screen position of the window's client area origin, as "x,y".
int CmdClientOrigin(const Args& args) {
    if (args.size() != 2) return Fail("usage: client-origin <title>", kExitUsage);
    HWND top = RequireTop(args[1]);
    if (!top) return kExitFailed;
    POINT origin{0, 0};
    if (!ClientToScreen(top, &origin)) return Fail("ClientToScreen failed");
    std::printf("%ld,%ld\n", origin.x, origin.y);
    return kExitOk;
}

// Waits for the common file dialog with this title, types the path into its file name box and
// presses its Open/Save button.
int CmdFileDialog(const Args& args) {
    if (args.size() != 4) return Fail("usage: file-dialog <title> <path> <timeout_ms>", kExitUsage);
    auto timeout = ParseNumber(args[3]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    const uint64_t start = NowMs();
    HWND dialog = nullptr;
    while (!(dialog = FindTopWindow("#32770", args[1])) || !IsWindowVisible(dialog)) {
        if (NowMs() - start >= static_cast<uint64_t>(*timeout)) return Fail("no file dialog '" + args[1] + "'");
        Sleep(kPollMs);
    }
    HWND edit = nullptr;
    for (HWND child : Descendants(dialog)) {
        const int id = GetDlgCtrlID(child);
        if (id == kFileNameEditId && IsClass(child, "Edit")) edit = child;
        if (id == kFileNameComboId) {
            for (HWND inner : Descendants(child))
                if (IsClass(inner, "Edit")) edit = inner;
        }
    }
    if (!edit) return Fail("the file dialog has no file name box");
    bool ok = false;
    SendTo(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[2].c_str()), ok);
    if (!ok) return Fail("WM_SETTEXT failed");
    HWND button = GetDlgItem(dialog, IDOK);
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        return Fail("PostMessage failed");
    std::printf("chose %s\n", args[2].c_str());
    return kExitOk;
}
