// Shared pieces of the end-to-end driver: the command signature, argument parsing and the
// window look-up every command group uses. The driver runs inside the same Wine desktop as the
// program under test and acts on it the way a person would (keys, pointer, other windows).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Args = std::vector<std::string>;

// Exit codes: 0 success, 1 the awaited thing did not happen (timeout, wrong state), 2 usage.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Prints "error: <text>" on stderr and returns kExitFailed (or the code given).
int Fail(const std::string& text, int code = kExitFailed);

// Decimal or 0x-prefixed hexadecimal, with optional sign; nothing else accepted.
std::optional<long long> ParseNumber(const std::string& text);
// "x,y" in integer pixels.
std::optional<POINT> ParsePoint(const std::string& text);

// "x,y" arguments from index first on.
std::optional<std::vector<POINT>> ParsePoints(const Args& args, size_t first);

// Input shared by the commands that act and the commands that measure.
std::optional<std::vector<WORD>> ParseHotkey(const std::string& text);
bool InjectHotkey(const std::vector<WORD>& keys, const std::function<void()>& afterKeyDown);
int InjectDrag(const std::vector<POINT>& points, bool release);   // moves made, or -1

// "-" stands for "any" (a null class or title for FindWindowA).
const char* ClassOrNull(const std::string& text);

// Top-level windows whose class and title match ("-" = any), in z-order.
std::vector<HWND> FindTopWindows(const std::string& className, const std::string& title);
// The first visible match, else the first match, else null.
HWND FindTopWindow(const std::string& className, const std::string& title);

std::string WindowClassOf(HWND hwnd);
// The caption as the window manager keeps it (no message is sent to the owner).
std::string InternalTextOf(HWND hwnd);
std::string HexHandle(HWND hwnd);

// Milliseconds of a monotonic clock.
uint64_t NowMs();
// Sleeps while dispatching this thread's messages (hooks and own windows keep working).
void PumpFor(DWORD ms);

// Command groups: each returns the process exit code.
int CmdHotkey(const Args& args);
int CmdKey(const Args& args);
int CmdType(const Args& args);
int CmdTypeAway(const Args& args);
int CmdDrag(const Args& args);
int CmdClick(const Args& args);
int CmdMouseButton(const Args& args);
int CmdMove(const Args& args);
int CmdCursor(const Args& args);

int CmdWaitWindow(const Args& args);
int CmdWaitNoWindow(const Args& args);
int CmdWindowInfo(const Args& args);
int CmdListWindows(const Args& args);
int CmdGestureReplies(const Args& args);
int CmdRace(const Args& args);
int CmdForeground(const Args& args);
int CmdStealForeground(const Args& args);
int CmdTopmostIntruder(const Args& args);
int CmdStealForegroundLoop(const Args& args);
int CmdSend(const Args& args);
int CmdPostQuit(const Args& args);
int CmdGetText(const Args& args);

int CmdControls(const Args& args);
int CmdComboItems(const Args& args);
int CmdComboSelect(const Args& args);
int CmdClickButton(const Args& args);
int CmdSetText(const Args& args);
int CmdClientOrigin(const Args& args);
int CmdFileDialog(const Args& args);

int CmdMsgboxWait(const Args& args);
int CmdMsgboxClick(const Args& args);

int CmdRegQuery(const Args& args);
int CmdLowLevelHookProbe(const Args& args);

int CmdKeySpy(const Args& args);
int CmdKeyState(const Args& args);
int CmdHotkeyHold(const Args& args);
int CmdHotkeyTake(const Args& args);
int CmdHoldDesktop(const Args& args);
int CmdMonitors(const Args& args);

int CmdPointCenter(const Args& args);
int CmdPatternPath(const Args& args);
int CmdScreenSize(const Args& args);

int CmdHotkeyTime(const Args& args);
int CmdDragTime(const Args& args);
int CmdCycles(const Args& args);
int CmdProcessStats(const Args& args);

int CmdTrayPost(const Args& args);
int CmdTrayMenu(const Args& args);
int CmdMenuRead(const Args& args);
int CmdClientRect(const Args& args);
int CmdShowWindow(const Args& args);
int CmdVerifyPath(const Args& args);
int CmdTrayForget(const Args& args);
int CmdBroadcast(const Args& args);
int CmdResourceCounts(const Args& args);
int CmdStartTime(const Args& args);
int CmdSoak(const Args& args);
int CmdEndTree(const Args& args);
int CmdEndImage(const Args& args);
int CmdSuspend(const Args& args);
int CmdServiceRequest(const Args& args);
int CmdHotkeyPolicyTime(const Args& args);
