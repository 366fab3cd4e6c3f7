// orvo_driver: acts on the programs under test from outside, the way a person would, and
// reports what it sees. One subcommand per call; every wait is bounded by a timeout argument.
// Exit code 0 = done, 1 = did not happen (message on stderr), 2 = bad arguments.
#include "Driver.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(const Args&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"hotkey", CmdHotkey, "hotkey <mod+key>                      e.g. win+a"},
    {"key", CmdKey, "key <vk|name> [...]                   down and up, one after the other"},
    {"type", CmdType, "type <text>                           characters as their virtual keys"},
    {"type-away", CmdTypeAway, "type-away <vk|name> [...]             keys typed into a window of ours in front"},
    {"drag", CmdDrag, "drag x1,y1 x2,y2 ...                  left button held from first to last"},
    {"drag-hold", CmdDrag, "drag-hold x1,y1 x2,y2 ...             as drag, but the button stays down"},
    {"mouse-down", CmdMouseButton, "mouse-down x,y"},
    {"mouse-up", CmdMouseButton, "mouse-up x,y"},
    {"click", CmdClick, "click x,y"},
    {"move", CmdMove, "move x,y [...]                        pointer moves without buttons"},
    {"cursor", CmdCursor, "cursor                                pointer position"},
    {"wait-window", CmdWaitWindow, "wait-window <class|-> <title|-> <timeout_ms> [visible]"},
    {"wait-no-window", CmdWaitNoWindow, "wait-no-window <class|-> <title|-> <timeout_ms> [visible]"},
    {"window-info", CmdWindowInfo, "window-info <class|-> <title|->       hwnd, visible, rect, topmost ..."},
    {"list-windows", CmdListWindows, "list-windows                          every top-level window"},
    {"gesture-replies", CmdGestureReplies, "gesture-replies                       each full-screen window's tablet gesture reply"},
    {"race", CmdRace, "race <timeout_ms> <class1> <title1> <exists|visible> <class2> <title2> <exists|visible>"},
    {"foreground", CmdForeground, "foreground                            class and title of the foreground"},
    {"topmost-intruder", CmdTopmostIntruder, "topmost-intruder <class> <timeout_ms>  ms until a window of the class is above it"},
    {"steal-foreground-loop", CmdStealForegroundLoop, "steal-foreground-loop <duration_ms> <interval_ms>"},
    {"steal-foreground", CmdStealForeground, "steal-foreground <timeout_ms>         ms until the foreground is taken back"},
    {"send", CmdSend, "send <class|-> <title|-> <msg> <wparam> <lparam>"},
    {"post-quit", CmdPostQuit, "post-quit <class|-> <title|->          WM_QUIT to the window's thread"},
    {"gettext", CmdGetText, "gettext <class|-> <title|->"},
    {"msgbox-wait", CmdMsgboxWait, "msgbox-wait <caption> <timeout_ms>    prints the message text"},
    {"msgbox-click", CmdMsgboxClick, "msgbox-click <caption> <button id>"},
    {"controls", CmdControls, "controls <title>                      every control: id, class, state, rect, text"},
    {"combo-items", CmdComboItems, "combo-items <title> <row text|#id>    selection and entries of a drop-down list"},
    {"combo-select", CmdComboSelect, "combo-select <title> <row text|#id> <index>"},
    {"click-button", CmdClickButton, "click-button <title> <button text>"},
    {"set-text", CmdSetText, "set-text <title> <#id|text> <new text>"},
    {"client-origin", CmdClientOrigin, "client-origin <title>                 screen x,y of the client area"},
    {"file-dialog", CmdFileDialog, "file-dialog <title> <path> <timeout_ms>"},
    {"reg-query", CmdRegQuery, "reg-query <HKEY_...\\path> <value>"},
    {"lowlevel-hook-probe", CmdLowLevelHookProbe, "lowlevel-hook-probe <duration_ms>     keys seen by a hook of ours"},
    {"key-spy", CmdKeySpy, "key-spy <duration_ms>                 each key event our hook gets, as it comes"},
    {"key-state", CmdKeyState, "key-state <key> ...                   which keys the desktop holds down"},
    {"hotkey-hold", CmdHotkeyHold, "hotkey-hold <mod+key> <class|-> <title|-> <timeout_ms>  keys up once it shows"},
    {"monitors", CmdMonitors, "monitors                              count and rectangles of the monitors"},
    {"point-center", CmdPointCenter, "point-center <screenW> <screenH> <grid> <k>"},
    {"pattern-path", CmdPatternPath, "pattern-path <screenW> <screenH> <grid|-> <cfg path>"},
    {"screen-size", CmdScreenSize, "screen-size                           primary screen WxH"},
    {"hotkey-time", CmdHotkeyTime, "hotkey-time <mod+key> <class|-> <title|-> <timeout_ms> [<class2> <title2>]  ms until it (then the second) shows"},
    {"hotkey-policy-time", CmdHotkeyPolicyTime, "hotkey-policy-time <mod+key> <timeout_ms>   ms until DisableTaskmgr is 1"},
    {"drag-time", CmdDragTime, "drag-time <class|-> <title|-> <timeout_ms> x,y ...      ms from release until gone"},
    {"cycles", CmdCycles, "cycles <n> <class|-> <title|-> <timeout_ms> x,y ...     lock and unlock n times"},
    {"process-stats", CmdProcessStats, "process-stats <pid>                   memory, handles, GDI objects"},
    {"tray-post", CmdTrayPost, "tray-post <mouse msg>                 the icon's callback, e.g. 0x202"},
    {"tray-menu", CmdTrayMenu, "tray-menu <timeout_ms>                right click; prints the items, menu stays open"},
    {"menu-read", CmdMenuRead, "menu-read                             items of the open pop-up menu"},
    {"client-rect", CmdClientRect, "client-rect <class|-> <title|->       client area on the screen"},
    {"show-window", CmdShowWindow, "show-window <class|-> <title|-> <sw> [ms]  ShowWindow from outside; ms: until hidden again"},
    {"verify-path", CmdVerifyPath, "verify-path <cfg path>                secret pattern in a 320x320 grid box"},
    {"hotkey-take", CmdHotkeyTake, "hotkey-take win+<key> <duration_ms>   holds the hot key as another program"},
    {"hold-desktop", CmdHoldDesktop, "hold-desktop <duration_ms>            a hidden window keeps the desktop in use"},
    {"tray-forget", CmdTrayForget, "tray-forget                           the shell drops the tray icon"},
    {"broadcast", CmdBroadcast, "broadcast <register:NAME|msg>         posted to all top-level windows"},
    {"resource-counts", CmdResourceCounts, "resource-counts <pid>                 handles, GDI objects, private bytes (Wine too)"},
    {"start-time", CmdStartTime, "start-time <exe> <class|-> <title|-> <timeout_ms> <runs>   ms until the window exists"},
    {"soak", CmdSoak, "soak <n> <pid> <lock class> <cover class> <timeout_ms> <at,...> x,y ...   cycles with counts"},
    {"end-tree", CmdEndTree, "end-tree <pid>                        the process and its descendants, at once"},
    {"end-image", CmdEndImage, "end-image <file name> [...]           every process of those files, at once"},
    {"suspend", CmdSuspend, "suspend <pid>                         every thread of the process held"},
    {"service-request", CmdServiceRequest, "service-request locked|unlocked       one request to the lock service; its reply"},
};

int Usage() {
    std::fprintf(stderr, "usage: orvo_driver <command> [arguments]\n");
    for (const Command& command : kCommands) std::fprintf(stderr, "  %s\n", command.usage);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Plain "\n" line ends: the scripts reading the output run on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc < 2) return Usage();
    Args args(argv + 1, argv + argc);
    for (const Command& command : kCommands) {
        if (args[0] != command.name) continue;
        int code = command.run(args);
        std::fflush(stdout);
        std::fflush(stderr);
        return code;
    }
    std::fprintf(stderr, "error: unknown command '%s'\n", argv[1]);
    return Usage();
}
