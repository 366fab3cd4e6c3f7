// Keyboard and pointer input injected with SendInput, as a person at the machine would give it:
// hot keys, single keys, typed text and pointer drags across the lock window's points.
#include "Driver.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr DWORD kEventPauseMs = 25;   // Wine coalesces moves sent closer together
constexpr double kDragStepPixels = 10.0;

struct NamedKey {
    const char* name;
    WORD vk;
};

constexpr NamedKey kNamedKeys[] = {
    {"enter", VK_RETURN}, {"return", VK_RETURN}, {"esc", VK_ESCAPE}, {"escape", VK_ESCAPE},
    {"backspace", VK_BACK}, {"tab", VK_TAB}, {"space", VK_SPACE}, {"delete", VK_DELETE},
    {"win", VK_LWIN}, {"lwin", VK_LWIN}, {"rwin", VK_RWIN}, {"ctrl", VK_CONTROL},
    {"lctrl", VK_LCONTROL}, {"alt", VK_MENU}, {"lalt", VK_LMENU}, {"shift", VK_SHIFT},
    {"lshift", VK_LSHIFT}, {"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP},
    {"down", VK_DOWN}, {"home", VK_HOME}, {"end", VK_END}, {"f1", VK_F1}, {"f2", VK_F2},
    {"f3", VK_F3}, {"f4", VK_F4}, {"f5", VK_F5}, {"f10", VK_F10}, {"f12", VK_F12},
    {"apps", VK_APPS}, {"snapshot", VK_SNAPSHOT},
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A key name, a single letter or digit, or a virtual-key number (decimal or 0x..).
std::optional<WORD> ParseKey(const std::string& text) {
    std::string name = Lower(text);
    for (const NamedKey& key : kNamedKeys)
        if (name == key.name) return key.vk;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0])));
    if (auto number = ParseNumber(text); number && *number > 0 && *number < 256)
        return static_cast<WORD>(*number);
    return std::nullopt;
}

bool SendKeyEvent(WORD vk, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    if (vk == VK_LWIN || vk == VK_RWIN || (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_DELETE)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    return SendInput(1, &input, sizeof(input)) == 1;
}

bool SendKey(WORD vk, bool down) {
    bool sent = SendKeyEvent(vk, down);
    Sleep(kEventPauseMs);
    return sent;
}

bool TapKey(WORD vk) { return SendKey(vk, true) && SendKey(vk, false); }

struct VirtualDesk {
    int left, top, width, height;
};

VirtualDesk CurrentVirtualDesk() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Normalised 0..65535 coordinate of a pixel; rounded up so the inverse mapping, which
// truncates, lands on the pixel itself and not on its left or upper neighbour.
LONG Normalise(int pixel, int origin, int extent) {
    if (extent <= 1) return 0;
    double value = std::ceil((pixel - origin) * 65535.0 / (extent - 1));
    if (value < 0) value = 0;
    if (value > 65535) value = 65535;
    return static_cast<LONG>(value);
}

bool SendMouse(DWORD flags, POINT at) {
    VirtualDesk desk = CurrentVirtualDesk();
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalise(at.x, desk.left, desk.width);
    input.mi.dy = Normalise(at.y, desk.top, desk.height);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    UINT sent = SendInput(1, &input, sizeof(input));
    Sleep(kEventPauseMs);
    return sent == 1;
}

// GetCursorPos is no check here: under Wine it follows only once the window under the pointer
// (another process) has taken the move, one step behind.
bool MoveTo(POINT at) { return SendMouse(0, at); }

}  // namespace

std::optional<std::vector<POINT>> ParsePoints(const Args& args, size_t first) {
    std::vector<POINT> points;
    for (size_t i = first; i < args.size(); ++i) {
        auto point = ParsePoint(args[i]);
        if (!point) return std::nullopt;
        points.push_back(*point);
    }
    return points;
}

std::optional<std::vector<WORD>> ParseHotkey(const std::string& text) {
    std::vector<WORD> keys;
    size_t start = 0;
    for (;;) {
        size_t plus = text.find('+', start);
        std::string part = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        auto vk = ParseKey(part);
        if (!vk) return std::nullopt;
        keys.push_back(*vk);
        if (plus == std::string::npos) return keys;
        start = plus + 1;
    }
}

// Modifiers down in order, the key down and up, modifiers up in reverse order; each event
// separately, as a keyboard would deliver them. afterKeyDown runs right after the last key
// went down (the moment a hot key fires).
bool InjectHotkey(const std::vector<WORD>& keys, const std::function<void()>& afterKeyDown) {
    bool ok = true;
    for (size_t i = 0; i < keys.size(); ++i) {
        ok = SendKeyEvent(keys[i], true) && ok;
        if (i + 1 == keys.size() && afterKeyDown) afterKeyDown();
        Sleep(kEventPauseMs);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) ok = SendKey(*it, false) && ok;
    return ok;
}

// "win+a", "ctrl+alt+delete".
int CmdHotkey(const Args& args) {
    if (args.size() != 2) return Fail("usage: hotkey <mod+...+key>", kExitUsage);
    auto keys = ParseHotkey(args[1]);
    if (!keys) return Fail("unknown key in '" + args[1] + "'", kExitUsage);
    if (!InjectHotkey(*keys, nullptr)) return Fail("SendInput refused an event");
    std::printf("sent %s\n", args[1].c_str());
    return kExitOk;
}

// Holds a global hot key the way another program would, so the program under test finds it taken.
int CmdHotkeyTake(const Args& args) {
    auto keys = args.size() == 3 ? ParseHotkey(args[1]) : std::nullopt;
    auto duration = args.size() == 3 ? ParseNumber(args[2]) : std::nullopt;
    if (!keys || !duration || *duration < 0) return Fail("usage: hotkey-take win+<key> <duration_ms>", kExitUsage);
    if (!RegisterHotKey(nullptr, 1, MOD_WIN, keys->back())) return Fail("RegisterHotKey failed");
    std::printf("taken\n");
    std::fflush(stdout);   // read while this still runs
    PumpFor(static_cast<DWORD>(*duration));
    return kExitOk;
}

// A hidden window in the desktop for a while: see e2e_hold_desktop.
int CmdHoldDesktop(const Args& args) {
    auto duration = args.size() == 2 ? ParseNumber(args[1]) : std::nullopt;
    if (!duration || *duration < 0) return Fail("usage: hold-desktop <duration_ms>", kExitUsage);
    if (!CreateWindowExA(0, "STATIC", "orvo desktop holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr))
        return Fail("CreateWindowEx failed");
    PumpFor(static_cast<DWORD>(*duration));
    return kExitOk;
}

int CmdKey(const Args& args) {
    if (args.size() < 2) return Fail("usage: key <vk|name> [...]", kExitUsage);
    for (size_t i = 1; i < args.size(); ++i) {
        auto vk = ParseKey(args[i]);
        if (!vk) return Fail("unknown key '" + args[i] + "'", kExitUsage);
        if (!TapKey(*vk)) return Fail("SendInput refused key " + args[i]);
        std::printf("key 0x%02x\n", *vk);
    }
    return kExitOk;
}

// Types characters as their virtual keys (with Shift where the layout needs it), so the target
// sees WM_KEYDOWN with real key codes rather than VK_PACKET.
int CmdType(const Args& args) {
    if (args.size() != 2) return Fail("usage: type <text>", kExitUsage);
    for (char c : args[1]) {
        SHORT scan = VkKeyScanA(c);
        if (scan == -1) return Fail(std::string("no key types '") + c + "'", kExitUsage);
        WORD vk = LOBYTE(scan);
        bool shift = (HIBYTE(scan) & 1) != 0;
        bool ok = (!shift || SendKey(VK_SHIFT, true)) && TapKey(vk) && (!shift || SendKey(VK_SHIFT, false));
        if (!ok) return Fail("SendInput refused a key");
    }
    std::printf("typed %zu\n", args[1].size());
    return kExitOk;
}

// Left button down at the first point, moves through every point with intermediate positions
// about every 10 pixels (so every hit square on the way is entered), button up at the last.
// Returns the number of moves, or -1 when SendInput refused an event.
// With release false the button stays down at the last point (a drawing in progress).
int InjectDrag(const std::vector<POINT>& points, bool release) {
    if (points.empty()) return -1;
    bool ok = MoveTo(points.front()) && SendMouse(MOUSEEVENTF_LEFTDOWN, points.front());
    int moves = 0;
    for (size_t i = 1; ok && i < points.size(); ++i) {
        POINT from = points[i - 1], to = points[i];
        double length = std::hypot(double(to.x - from.x), double(to.y - from.y));
        int steps = std::max(1, static_cast<int>(std::ceil(length / kDragStepPixels)));
        for (int s = 1; ok && s <= steps; ++s) {
            POINT at{from.x + static_cast<LONG>(std::lround((to.x - from.x) * double(s) / steps)),
                     from.y + static_cast<LONG>(std::lround((to.y - from.y) * double(s) / steps))};
            ok = MoveTo(at);
            ++moves;
        }
    }
    if (release) ok = ok && SendMouse(MOUSEEVENTF_LEFTUP, points.back());
    return ok ? moves : -1;
}

int CmdDrag(const Args& args) {
    bool hold = args[0] == "drag-hold";
    auto points = ParsePoints(args, 1);
    if (!points || points->empty()) return Fail("usage: " + args[0] + " x1,y1 x2,y2 ...", kExitUsage);
    int moves = InjectDrag(*points, !hold);
    if (moves < 0) return Fail("SendInput refused a pointer event");
    std::printf("dragged %zu points, %d moves%s\n", points->size(), moves, hold ? ", button held" : "");
    return kExitOk;
}

// mouse-down x,y / mouse-up x,y: one button event at a position.
int CmdMouseButton(const Args& args) {
    auto points = ParsePoints(args, 1);
    if (!points || points->size() != 1) return Fail("usage: " + args[0] + " x,y", kExitUsage);
    DWORD flag = args[0] == "mouse-down" ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    if (!MoveTo(points->front()) || !SendMouse(flag, points->front())) return Fail("SendInput refused a pointer event");
    std::printf("%s %ld,%ld\n", args[0].c_str(), points->front().x, points->front().y);
    return kExitOk;
}

int CmdClick(const Args& args) {
    auto points = ParsePoints(args, 1);
    if (!points || points->size() != 1) return Fail("usage: click x,y", kExitUsage);
    POINT at = points->front();
    bool ok = MoveTo(at) && SendMouse(MOUSEEVENTF_LEFTDOWN, at) && SendMouse(MOUSEEVENTF_LEFTUP, at);
    if (!ok) return Fail("SendInput refused a pointer event");
    std::printf("clicked %ld,%ld\n", at.x, at.y);
    return kExitOk;
}

int CmdMove(const Args& args) {
    auto points = ParsePoints(args, 1);
    if (!points || points->empty()) return Fail("usage: move x,y [...]", kExitUsage);
    for (POINT at : *points)
        if (!MoveTo(at)) return Fail("SendInput refused a pointer event");
    std::printf("moved to %ld,%ld\n", points->back().x, points->back().y);
    return kExitOk;
}

int CmdCursor(const Args&) {
    POINT at;
    if (!GetCursorPos(&at)) return Fail("GetCursorPos failed");
    std::printf("%ld,%ld\n", at.x, at.y);
    return kExitOk;
}

namespace {
std::string TypistKeys;   // ",0x41,0x0d": the key-down codes the typist's window received
LRESULT CALLBACK TypistProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    char code[8];
    if (msg == WM_KEYDOWN && std::snprintf(code, sizeof code, ",0x%02x", static_cast<unsigned>(wp)) > 0) TypistKeys += code;
    return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

// Another program typing: its window takes the foreground before each key. Prints how many
// keys were pressed while it had the foreground and the key-down codes its window received.
int CmdTypeAway(const Args& args) {
    WNDCLASSA wc = {0, TypistProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr, "OrvoTypist"};
    RegisterClassA(&wc);
    HWND typist = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 40, 40, 300, 200, 0, 0, wc.hInstance, 0);
    int away = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        auto vk = ParseKey(args[i]);
        if (!typist || !vk) return Fail("usage: type-away <vk|name> [...]", kExitUsage);
        SetForegroundWindow(typist);
        away += GetForegroundWindow() == typist ? 1 : 0;
        for (bool down : {true, false}) { SendKeyEvent(*vk, down); PumpFor(kEventPauseMs); }
    }
    PumpFor(300);
    std::printf("away=%d\nreceived=%s\n", away, TypistKeys.empty() ? "" : TypistKeys.c_str() + 1);
    return kExitOk;
}
