// Looking at and talking to the windows of other processes: waiting for windows, their state,
// the foreground, taking the foreground away, and sending messages.
#include "Driver.h"

#include "system/WinHandles.h"

#include <cstdio>

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;

struct NamedMessage {
    const char* name;
    UINT msg;
};

constexpr NamedMessage kNamedMessages[] = {
    {"WM_CLOSE", WM_CLOSE}, {"WM_SETTEXT", WM_SETTEXT}, {"WM_GETTEXT", WM_GETTEXT},
    {"WM_DESTROY", WM_DESTROY}, {"WM_ACTIVATE", WM_ACTIVATE}, {"WM_MOVE", WM_MOVE},
    {"WM_NCLBUTTONDOWN", WM_NCLBUTTONDOWN}, {"WM_HOTKEY", WM_HOTKEY}, {"WM_SYSCOMMAND", WM_SYSCOMMAND},
    {"WM_KEYDOWN", WM_KEYDOWN}, {"WM_LBUTTONDOWN", WM_LBUTTONDOWN}, {"WM_LBUTTONUP", WM_LBUTTONUP},
    {"WM_QUERYENDSESSION", WM_QUERYENDSESSION}, {"WM_ENDSESSION", WM_ENDSESSION},
};

std::optional<UINT> ParseMessage(const std::string& text) {
    for (const NamedMessage& named : kNamedMessages)
        if (lstrcmpiA(text.c_str(), named.name) == 0) return named.msg;
    if (text.rfind("register:", 0) == 0) {
        UINT msg = RegisterWindowMessageA(text.substr(9).c_str());
        if (msg != 0) return msg;
        return std::nullopt;
    }
    auto number = ParseNumber(text);
    if (number && *number >= 0 && *number <= 0xFFFF) return static_cast<UINT>(*number);
    return std::nullopt;
}

bool AnyVisible(const std::vector<HWND>& windows) {
    for (HWND hwnd : windows)
        if (IsWindowVisible(hwnd)) return true;
    return false;
}

// Waits until the window set matching class/title is non-empty (wantPresent) or empty; with
// onlyVisible, hidden matches do not count. Prints the elapsed time either way.
int WaitFor(const Args& args, bool wantPresent) {
    if (args.size() != 4 && args.size() != 5)
        return Fail(args[0] + " <class|-> <title|-> <timeout_ms> [visible]", kExitUsage);
    auto timeout = ParseNumber(args[3]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    bool onlyVisible = args.size() == 5 && args[4] == "visible";
    uint64_t start = NowMs();
    for (;;) {
        std::vector<HWND> found = FindTopWindows(args[1], args[2]);
        bool present = onlyVisible ? AnyVisible(found) : !found.empty();
        uint64_t elapsed = NowMs() - start;
        if (present == wantPresent) {
            if (present) std::printf("hwnd=%s\n", HexHandle(FindTopWindow(args[1], args[2])).c_str());
            std::printf("elapsed_ms=%llu\n", static_cast<unsigned long long>(elapsed));
            return kExitOk;
        }
        if (elapsed >= static_cast<uint64_t>(*timeout))
            return Fail(std::string(wantPresent ? "no window " : "window still there: ") + args[1] + " / " +
                        args[2] + " after " + args[3] + " ms");
        Sleep(kPollMs);
    }
}

void PrintWindow(HWND hwnd) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("hwnd=%s\n", HexHandle(hwnd).c_str());
    std::printf("class=%s\n", WindowClassOf(hwnd).c_str());
    std::printf("title=%s\n", InternalTextOf(hwnd).c_str());
    std::printf("pid=%lu\n", static_cast<unsigned long>(pid));
    std::printf("visible=%d\n", IsWindowVisible(hwnd) ? 1 : 0);
    std::printf("rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right, rect.bottom);
    std::printf("topmost=%d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
    std::printf("layered=%d\n", (exStyle & WS_EX_LAYERED) ? 1 : 0);
    std::printf("style=0x%llx\n", static_cast<unsigned long long>(style));
    std::printf("exstyle=0x%llx\n", static_cast<unsigned long long>(exStyle));
    std::printf("foreground=%d\n", GetForegroundWindow() == hwnd ? 1 : 0);
}

HWND RequireWindow(const std::string& className, const std::string& title) {
    HWND hwnd = FindTopWindow(className, title);
    if (!hwnd) Fail("no window " + className + " / " + title);
    return hwnd;
}

LRESULT CALLBACK ThiefProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int CmdWaitWindow(const Args& args) { return WaitFor(args, true); }
int CmdWaitNoWindow(const Args& args) { return WaitFor(args, false); }

int CmdWindowInfo(const Args& args) {
    if (args.size() != 3) return Fail("usage: window-info <class|-> <title|->", kExitUsage);
    HWND hwnd = RequireWindow(args[1], args[2]);
    if (!hwnd) return kExitFailed;
    PrintWindow(hwnd);
    return kExitOk;
}

// One line per top-level window, top of the z-order first.
int CmdListWindows(const Args& args) {
    for (HWND hwnd : FindTopWindows("-", "-")) {
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
        std::printf("%s pid=%lu visible=%d topmost=%d rect=%ld,%ld,%ld,%ld class=%s title=%s\n",
                    HexHandle(hwnd).c_str(), static_cast<unsigned long>(pid), IsWindowVisible(hwnd) ? 1 : 0,
                    (exStyle & WS_EX_TOPMOST) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
                    WindowClassOf(hwnd).c_str(), InternalTextOf(hwnd).c_str());
    }
    return kExitOk;
}

// Each visible monitor-sized window's reply to WM_TABLET_QUERYSYSTEMGESTURESTATUS, one
// "class=0x..." a line (Wine never asks it itself).
int CmdGestureReplies(const Args&) {
    for (HWND hwnd : FindTopWindows("-", "-")) {
        RECT rect{};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &rect) ||
            !GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor) ||
            !EqualRect(&rect, &monitor.rcMonitor))
            continue;
        DWORD_PTR reply = 0;
        if (!SendMessageTimeoutA(hwnd, 0x02CC, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &reply)) reply = ~DWORD_PTR{0};
        std::printf("%s=0x%llx\n", WindowClassOf(hwnd).c_str(), static_cast<unsigned long long>(reply));
    }
    return kExitOk;
}

int CmdForeground(const Args&) {
    HWND hwnd = GetForegroundWindow();
    if (!hwnd) {
        std::printf("hwnd=0x0\n");
        return kExitOk;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("hwnd=%s\nclass=%s\ntitle=%s\npid=%lu\n", HexHandle(hwnd).c_str(), WindowClassOf(hwnd).c_str(),
                InternalTextOf(hwnd).c_str(), static_cast<unsigned long>(pid));
    return kExitOk;
}

// Another program grabbing the foreground: a visible window of ours takes it, then we watch
// how long we keep it. Succeeds when it was taken away within the timeout.
int CmdStealForeground(const Args& args) {
    if (args.size() != 2) return Fail("usage: steal-foreground <timeout_ms>", kExitUsage);
    auto timeout = ParseNumber(args[1]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ThiefProc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrvoDriverThief";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&wc);
    UniqueHwnd thief(CreateWindowExA(0, "OrvoDriverThief", "Orvo Driver Thief", WS_POPUP | WS_VISIBLE,
                                         20, 20, 200, 100, nullptr, nullptr, instance, nullptr));
    if (!thief.get()) return Fail("could not create the window");
    PumpFor(50);
    // The program under test may take the foreground back within a few milliseconds, even
    // before the first look: a successful SetForegroundWindow counts as taken.
    BOOL taken = SetForegroundWindow(thief.get());
    uint64_t start = NowMs();
    SetFocus(thief.get());
    std::printf("taken=%d\n", taken ? 1 : 0);
    if (!taken) return Fail("SetForegroundWindow refused the foreground");
    while (GetForegroundWindow() == thief.get()) {
        if (NowMs() - start >= static_cast<uint64_t>(*timeout)) {
            std::printf("kept_ms=%llu\n", static_cast<unsigned long long>(NowMs() - start));
            return Fail("still in the foreground after " + args[1] + " ms");
        }
        PumpFor(2);
    }
    uint64_t lost = NowMs() - start;
    HWND now = GetForegroundWindow();
    std::printf("lost_after_ms=%llu\n", static_cast<unsigned long long>(lost));
    std::printf("foreground_class=%s\n", now ? WindowClassOf(now).c_str() : "");
    return kExitOk;
}

// SendMessageTimeout to the first matching window. WM_SETTEXT takes its lparam as text,
// WM_GETTEXT prints the text it got back; other lparams are numbers.
int CmdPostQuit(const Args& args) {
    if (args.size() != 3) return Fail("usage: post-quit <class|-> <title|->", kExitUsage);
    HWND hwnd = RequireWindow(args[1], args[2]);
    if (!hwnd) return kExitFailed;
    if (!PostThreadMessageA(GetWindowThreadProcessId(hwnd, nullptr), WM_QUIT, 0, 0)) return Fail("PostThreadMessage failed");
    return kExitOk;
}

int CmdSend(const Args& args) {
    if (args.size() != 6) return Fail("usage: send <class|-> <title|-> <msg> <wparam> <lparam>", kExitUsage);
    auto msg = ParseMessage(args[3]);
    auto wparam = ParseNumber(args[4]);
    if (!msg || !wparam) return Fail("bad message or wparam", kExitUsage);
    HWND hwnd = RequireWindow(args[1], args[2]);
    if (!hwnd) return kExitFailed;
    DWORD_PTR result = 0;
    char buffer[1024] = {};
    LPARAM lparam = 0;
    if (*msg == WM_SETTEXT) {
        lparam = reinterpret_cast<LPARAM>(args[5].c_str());
    } else if (*msg == WM_GETTEXT) {
        lparam = reinterpret_cast<LPARAM>(buffer);
        if (*wparam > static_cast<long long>(sizeof(buffer))) wparam = sizeof(buffer);
    } else {
        auto number = ParseNumber(args[5]);
        if (!number) return Fail("bad lparam", kExitUsage);
        lparam = static_cast<LPARAM>(*number);
    }
    if (!SendMessageTimeoutA(hwnd, *msg, static_cast<WPARAM>(*wparam), lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return Fail("SendMessageTimeout failed or timed out, error " + std::to_string(GetLastError()));
    std::printf("result=%lld\n", static_cast<long long>(result));
    if (*msg == WM_GETTEXT) std::printf("text=%s\n", buffer);
    return kExitOk;
}

// The caption the system keeps and the text the window itself answers to WM_GETTEXT.
int CmdGetText(const Args& args) {
    if (args.size() != 3) return Fail("usage: gettext <class|-> <title|->", kExitUsage);
    HWND hwnd = RequireWindow(args[1], args[2]);
    if (!hwnd) return kExitFailed;
    char caption[512] = {};
    GetWindowTextA(hwnd, caption, sizeof(caption));
    char answer[512] = {};
    DWORD_PTR length = 0;
    BOOL sent = SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof(answer), reinterpret_cast<LPARAM>(answer),
                                    SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    std::printf("caption=%s\n", caption);
    std::printf("wm_gettext=%s\n", sent ? answer : "");
    std::printf("wm_gettext_result=%lld\n", sent ? static_cast<long long>(length) : -1LL);
    return kExitOk;
}

namespace {
struct Condition {
    std::string className, title;
    bool visible;
};

bool Holds(const Condition& condition) {
    std::vector<HWND> found = FindTopWindows(condition.className, condition.title);
    return condition.visible ? AnyVisible(found) : !found.empty();
}

bool IsWindowOf(HWND hwnd, const Condition& condition) {
    if (condition.className != "-" && lstrcmpiA(WindowClassOf(hwnd).c_str(), condition.className.c_str()) != 0)
        return false;
    return condition.title == "-" || InternalTextOf(hwnd) == condition.title;
}

// The system's window events come in the order they happened, however late this process gets
// to look: the first event that makes a condition true tells which came first when one poll
// finds both already true (a loaded machine may keep the poll waiting longer than the gap).
struct EventOrder {
    const Condition* One = nullptr;
    const Condition* Two = nullptr;
    int First = 0;   // 0 while no event has decided
};
EventOrder RaceEvents;

void CALLBACK OnRaceEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG, DWORD, DWORD) {
    if (RaceEvents.First || !hwnd || object != OBJID_WINDOW || GetAncestor(hwnd, GA_ROOT) != hwnd) return;
    const auto decides = [&](const Condition& condition) {
        return (event == EVENT_OBJECT_SHOW || !condition.visible) && IsWindowOf(hwnd, condition);
    };
    if (decides(*RaceEvents.One))
        RaceEvents.First = 1;
    else if (decides(*RaceEvents.Two))
        RaceEvents.First = 2;
}
}  // namespace

// race <timeout_ms> <class1> <title1> <exists|visible> <class2> <title2> <exists|visible>:
// which of two window conditions came true first ("first=1", "first=2", or "first=both" when
// one poll saw both and no window event told them apart). Prints "ready" once watching, so a script can start the program after.
int CmdRace(const Args& args) {
    if (args.size() != 8) return Fail("usage: race <timeout_ms> <class1> <title1> <exists|visible> <class2> <title2> <exists|visible>", kExitUsage);
    auto timeout = ParseNumber(args[1]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    Condition one{args[2], args[3], args[4] == "visible"};
    Condition two{args[5], args[6], args[7] == "visible"};
    bool already1 = Holds(one), already2 = Holds(two);
    if (already1 || already2) return Fail("a condition already holds before the race");
    RaceEvents = {&one, &two, 0};
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, OnRaceEvent, 0, 0,
                                               WINEVENT_OUTOFCONTEXT);
    std::printf("ready\n");
    std::fflush(stdout);
    uint64_t start = NowMs();
    for (;;) {
        bool first = Holds(one), second = Holds(two);
        uint64_t elapsed = NowMs() - start;
        if (first && second) PumpFor(0);   // the events still queued
        if (first || second) {
            if (hook) UnhookWinEvent(hook);
            const char* which = first && second ? (RaceEvents.First == 1 ? "1" : RaceEvents.First == 2 ? "2" : "both")
                                                : (first ? "1" : "2");
            std::printf("first=%s\n", which);
            std::printf("elapsed_ms=%llu\n", static_cast<unsigned long long>(elapsed));
            return kExitOk;
        }
        if (elapsed >= static_cast<uint64_t>(*timeout)) {
            if (hook) UnhookWinEvent(hook);
            return Fail("neither condition after " + args[1] + " ms");
        }
        PumpFor(1);
    }
}
