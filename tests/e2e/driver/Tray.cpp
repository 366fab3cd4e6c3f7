// The tray icon of the program under test as the shell would use it: its callback message, its
// pop-up menu read item by item, and the client area and showing state of other windows.
#include "Driver.h"

#include "core/ConfigData.h"
#include "core/PatternGrid.h"
#include "system/WinHandles.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr char kTrayTitle[] = "Orvo PC Lock Tray";
constexpr UINT kTrayCallback = WM_APP + 1;   // the tray owner's callback message
constexpr char kMenuClass[] = "#32768";
constexpr char kProbeDll[] = "orvo_menuprobe.dll";
constexpr char kProbeHook[] = "MenuProbeHook";
constexpr char kProbeRequest[] = "OrvoMenuProbeRead";
constexpr UINT kSendTimeoutMs = 5000;

HWND TrayWindow() {
    HWND tray = FindTopWindow("-", kTrayTitle);
    if (!tray) Fail(std::string("no window titled '") + kTrayTitle + "'");
    return tray;
}

HWND VisibleMenu() {
    for (HWND hwnd : FindTopWindows(kMenuClass, "-"))
        if (IsWindowVisible(hwnd)) return hwnd;
    return nullptr;
}

HWND WaitForMenu(DWORD timeoutMs) {
    const uint64_t start = NowMs();
    for (;;) {
        if (HWND menu = VisibleMenu()) return menu;
        if (NowMs() - start >= timeoutMs) return nullptr;
        Sleep(20);
    }
}

std::string Reply;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->lpData && data->cbData > 0)
            Reply.assign(static_cast<const char*>(data->lpData), strnlen(static_cast<const char*>(data->lpData),
                                                                         data->cbData));
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

std::string ProbeFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// Reads the items of an open pop-up menu of another process through the probe hook and prints
// them as "item=index|caption|checked|separator" lines.
int ReadMenu(HWND menuWindow) {
    HMODULE probe = LoadLibraryA((ProbeFolder() + kProbeDll).c_str());
    if (!probe) return Fail(std::string("cannot load ") + kProbeDll);
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, kProbeHook)));
    if (!hook) return Fail("the probe has no hook procedure");

    WNDCLASSA wc{};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvoDriverMenuReceiver";
    RegisterClassA(&wc);
    UniqueHwnd receiver(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        wc.hInstance, nullptr));
    if (!receiver) return Fail("cannot create the receiving window");

    const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
    UniqueHhook installed(SetWindowsHookExA(WH_CALLWNDPROC, hook, probe, thread));
    if (!installed) return Fail("SetWindowsHookEx failed, error " + std::to_string(GetLastError()));
    DWORD_PTR ignored = 0;
    Reply.clear();
    // The answer arrives as a sent message while this call waits.
    SendMessageTimeoutA(menuWindow, RegisterWindowMessageA(kProbeRequest), reinterpret_cast<WPARAM>(receiver.get()),
                        0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    PumpFor(50);
    installed.reset();
    if (Reply.empty()) return Fail("the menu's thread did not answer");

    size_t start = 0;
    while (start < Reply.size()) {
        size_t end = Reply.find('\n', start);
        if (end == std::string::npos) end = Reply.size();
        const std::string line = Reply.substr(start, end - start);
        start = end + 1;
        if (line.rfind("count=", 0) == 0) {
            std::printf("%s\n", line.c_str());
            continue;
        }
        const size_t first = line.find('|');
        const size_t last = line.rfind('|');
        if (first == std::string::npos || last == first) continue;
        const unsigned long state = std::strtoul(line.substr(last + 1).c_str(), nullptr, 16);
        std::printf("item=%s|%s|%d|%d\n", line.substr(0, first).c_str(), line.substr(first + 1, last - first - 1).c_str(),
                    (state & MF_CHECKED) ? 1 : 0, (state & MF_SEPARATOR) ? 1 : 0);
    }
    return kExitOk;
}

}  // namespace

// tray-post <mouse message>: what the shell posts for a mouse event on the icon.
int CmdTrayPost(const Args& args) {
    if (args.size() != 2) return Fail("usage: tray-post <mouse message, e.g. 0x202>", kExitUsage);
    auto message = ParseNumber(args[1]);
    if (!message || *message < 0 || *message > 0xFFFF) return Fail("bad mouse message", kExitUsage);
    HWND tray = TrayWindow();
    if (!tray) return kExitFailed;
    if (!PostMessageA(tray, kTrayCallback, 0, static_cast<LPARAM>(*message))) return Fail("PostMessage failed");
    std::printf("posted 0x%llx\n", static_cast<unsigned long long>(*message));
    return kExitOk;
}

// tray-menu <timeout_ms>: a right click on the icon; prints the menu's items and leaves it open.
int CmdTrayMenu(const Args& args) {
    if (args.size() != 2) return Fail("usage: tray-menu <timeout_ms>", kExitUsage);
    auto timeout = ParseNumber(args[1]);
    if (!timeout || *timeout < 0) return Fail("bad timeout", kExitUsage);
    if (VisibleMenu()) return Fail("a pop-up menu is open already");
    HWND tray = TrayWindow();
    if (!tray) return kExitFailed;
    PostMessageA(tray, kTrayCallback, 0, WM_RBUTTONUP);
    HWND menu = WaitForMenu(static_cast<DWORD>(*timeout));
    if (!menu) return Fail("no pop-up menu after " + args[1] + " ms");
    return ReadMenu(menu);
}

// menu-read: the items of the pop-up menu that is open now.
int CmdMenuRead(const Args& args) {
    if (args.size() != 1) return Fail("usage: menu-read", kExitUsage);
    HWND menu = VisibleMenu();
    if (!menu) return Fail("no pop-up menu is open");
    return ReadMenu(menu);
}

// client-rect <class|-> <title|->: the client area on the screen, "x,y,width,height".
int CmdClientRect(const Args& args) {
    if (args.size() != 3) return Fail("usage: client-rect <class|-> <title|->", kExitUsage);
    HWND hwnd = FindTopWindow(args[1], args[2]);
    if (!hwnd) return Fail("no window " + args[1] + " / " + args[2]);
    RECT client{};
    POINT origin{0, 0};
    if (!GetClientRect(hwnd, &client) || !ClientToScreen(hwnd, &origin)) return Fail("no client area");
    std::printf("client=%ld,%ld,%ld,%ld\n", origin.x, origin.y, client.right, client.bottom);
    return kExitOk;
}

// show-window <class|-> <title|-> <SW_ number>: as another program hiding or showing a window.
int CmdShowWindow(const Args& args) {
    if (args.size() != 4 && args.size() != 5)
        return Fail("usage: show-window <class|-> <title|-> <sw> [hidden_within_ms]", kExitUsage);
    auto command = ParseNumber(args[3]);
    if (!command || *command < 0 || *command > 11) return Fail("bad show command", kExitUsage);
    HWND hwnd = FindTopWindow(args[1], args[2]);
    if (!hwnd) return Fail("no window " + args[1] + " / " + args[2]);
    ShowWindow(hwnd, static_cast<int>(*command));
    std::printf("visible=%d\n", IsWindowVisible(hwnd) ? 1 : 0);
    // With a time: someone else must hide it again within that many ms.
    auto within = args.size() == 5 ? ParseNumber(args[4]) : std::nullopt;
    for (const uint64_t start = NowMs(); within && IsWindowVisible(hwnd);) {
        if (NowMs() - start > static_cast<uint64_t>(*within)) return Fail("still visible after " + args[4] + " ms");
        Sleep(5);
    }
    return kExitOk;
}

// verify-path <cfg path>: the secret pattern's point centres in the verify dialog's 320 x 320
// grid box (its own coordinates), on one line as drag arguments before the box's offset.
int CmdVerifyPath(const Args& args) {
    if (args.size() != 2) return Fail("usage: verify-path <cfg path>", kExitUsage);
    std::string path = args[1];
    // A Unix path is reached through Wine's Z: drive.
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path)
            if (c == '/') c = '\\';
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return Fail("cannot open " + args[1]);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < kConfigFileSize) return Fail(args[1] + " is shorter than a configuration file");
    ConfigBytes image{};
    std::copy(bytes.begin(), bytes.begin() + kConfigFileSize, image.begin());
    const ConfigData config = DecodeConfig(image);
    GridLayout layout;
    ComputeLayout(layout, config.Grid <= kMaxGrid ? config.Grid : 0, 1024, 768);
    const int points = layout.GridSide * layout.GridSide;
    std::string line;
    for (int i = 1; i <= points; ++i) {
        const int point = config.SecretPattern[static_cast<size_t>(i)];
        if (point < 1 || point > points) continue;
        const LayoutPosition centre = layout.SmallPoint(point).Centre;
        line += (line.empty() ? "" : " ") + std::to_string(centre.X) + "," + std::to_string(centre.Y);
    }
    if (line.empty()) return Fail("the configuration holds no pattern");
    std::printf("%s\n", line.c_str());
    return kExitOk;
}

// tray-forget: the shell loses the program's icon, as when the taskbar restarts.
int CmdTrayForget(const Args& args) {
    if (args.size() != 1) return Fail("usage: tray-forget", kExitUsage);
    HWND tray = TrayWindow();
    if (!tray) return kExitFailed;
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = tray;
    icon.uID = 0;
    if (!Shell_NotifyIconA(NIM_DELETE, &icon)) return Fail("the shell had no icon of the tray window");
    std::printf("forgotten\n");
    return kExitOk;
}

// broadcast <register:NAME | number>: posted to every top-level window, as the shell does.
int CmdBroadcast(const Args& args) {
    if (args.size() != 2) return Fail("usage: broadcast <register:NAME|msg>", kExitUsage);
    UINT message = 0;
    if (args[1].rfind("register:", 0) == 0) {
        message = RegisterWindowMessageA(args[1].substr(9).c_str());
    } else if (auto number = ParseNumber(args[1]); number && *number > 0 && *number <= 0xFFFF) {
        message = static_cast<UINT>(*number);
    }
    if (message == 0) return Fail("bad message", kExitUsage);
    if (!PostMessageA(HWND_BROADCAST, message, 0, 0)) return Fail("PostMessage failed");
    std::printf("message=0x%x\n", message);
    return kExitOk;
}
