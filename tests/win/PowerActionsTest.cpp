// The lock's system actions under Wine: the immediate shutdown (always through a fake final
// call: nothing here may switch anything off), the monitor switch-off message, the dial-up
// hang-up and the idle measurement.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "system/Messages.h"
#include "system/PowerActions.h"
#include "system/Text.h"
#include "support/LockStateTestAccess.h"

namespace {

struct Shown {
    std::string text, caption;
    uint32_t flags;
};
std::vector<Shown> Messages;
std::vector<int> ShutdownCalls;

int RecordMessage(const std::string& text, const std::string& caption, uint32_t flags) {
    Messages.push_back({text, caption, flags});
    return IDOK;
}

long ShutdownStatus = 0;   // what the fake final call answers

long FakeShutdown(int action) {
    ShutdownCalls.push_back(action);
    return ShutdownStatus;
}

class PowerActions : public ::testing::Test {
protected:
    void SetUp() override {
        Messages.clear();
        ShutdownCalls.clear();
        ShutdownStatus = 0;
        previousHook_ = SetMessageHook(RecordMessage);
        SetShutdownSystemFn(FakeShutdown);
    }
    void TearDown() override {
        SetMessageHook(previousHook_);
        // Deliberately left in place: a later test in this program must never reach the real call.
        SetShutdownSystemFn(FakeShutdown);
        SetRasFunctions(nullptr, nullptr);
    }
    MessageHook previousHook_ = nullptr;
};

// Runs on this thread with a token that lacks the shutdown privilege, as a standard user's
// would; false when the platform cannot make such a token.
class WithoutShutdownPrivilege {
public:
    WithoutShutdownPrivilege() {
        HANDLE process = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &process)) return;
        LUID_AND_ATTRIBUTES removed{};
        HANDLE restricted = nullptr;
        HANDLE impersonation = nullptr;
        if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &removed.Luid) &&
            CreateRestrictedToken(process, 0, 0, nullptr, 1, &removed, 0, nullptr, &restricted) &&
            DuplicateToken(restricted, SecurityImpersonation, &impersonation)) {
            active_ = SetThreadToken(nullptr, impersonation) != FALSE;
        }
        if (impersonation) CloseHandle(impersonation);
        if (restricted) CloseHandle(restricted);
        CloseHandle(process);
    }
    ~WithoutShutdownPrivilege() {
        if (active_) RevertToSelf();
    }
    bool Active() const { return active_; }

private:
    bool active_ = false;
};

}  // namespace

TEST_F(PowerActions, QuickShutdownWithPrivilegeCallsTheFinalCallOnceWithoutMessage) {
    QuickShutdown();
    EXPECT_EQ(ShutdownCalls, std::vector<int>{2});   // ShutdownPowerOff
    EXPECT_TRUE(Messages.empty());
}

TEST_F(PowerActions, QuickShutdownThatFailsWarnsInsteadOfPassingSilently) {
    ShutdownStatus = static_cast<long>(0xC0000061);   // STATUS_PRIVILEGE_NOT_HELD
    QuickShutdown();
    EXPECT_EQ(ShutdownCalls, std::vector<int>{2});
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].text, "Quick shutdown PC error");
    EXPECT_EQ(Messages[0].caption, "Orvo Desktop");
    EXPECT_EQ(Messages[0].flags, static_cast<uint32_t>(MB_ICONWARNING));
}

TEST_F(PowerActions, QuickShutdownWithoutPrivilegeWarnsAndStaysUp) {
    WithoutShutdownPrivilege user;
    if (!user.Active()) GTEST_SKIP() << "no restricted impersonation token on this platform";
    if (AdjustPrivilege(kShutdownPrivilege, true)) GTEST_SKIP() << "the platform grants the privilege anyway";
    QuickShutdown();
    EXPECT_TRUE(ShutdownCalls.empty());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].text, "Quick shutdown PC error");
    EXPECT_EQ(Messages[0].caption, "Orvo Desktop");
    EXPECT_EQ(Messages[0].flags, static_cast<uint32_t>(MB_ICONWARNING));
}

namespace {

std::vector<std::pair<WPARAM, LPARAM>> SysCommandArgs;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYSCOMMAND) {
        SysCommandArgs.emplace_back(wp, lp);
        return 0;   // never let the default handler act on the display
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

TEST_F(PowerActions, TurnOffMonitorSendsMonitorPowerOffAndReportsIt) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvoTestMonitorOff";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SysCommandArgs.clear();
    const bool turnedOff = TurnOffMonitor(window);
    DestroyWindow(window);
    ASSERT_EQ(SysCommandArgs.size(), 1u);
    EXPECT_EQ(SysCommandArgs[0].first, static_cast<WPARAM>(SC_MONITORPOWER));
    EXPECT_EQ(SysCommandArgs[0].second, 2);
    EXPECT_TRUE(turnedOff);
}

namespace {

struct FakeRas {
    std::vector<std::string> names;   // one active connection per name
    DWORD status = 0;
    DWORD reportedCount = 0;          // 0: the number of names
    DWORD sizeSeen = 0, bytesSeen = 0;
    std::vector<HRASCONN> hungUp;
};
FakeRas Ras;

HRASCONN HandleOf(std::size_t i) { return reinterpret_cast<HRASCONN>(static_cast<INT_PTR>(0x100 + i)); }

DWORD WINAPI FakeEnum(RASCONNA* connections, DWORD* bytes, DWORD* count) {
    Ras.sizeSeen = connections->dwSize;
    Ras.bytesSeen = *bytes;
    for (std::size_t i = 0; i < Ras.names.size() && i < *bytes / sizeof(RASCONNA); ++i) {
        connections[i].hrasconn = HandleOf(i);
        lstrcpynA(connections[i].szEntryName, Ras.names[i].c_str(), sizeof connections[i].szEntryName);
    }
    *count = Ras.reportedCount ? Ras.reportedCount : static_cast<DWORD>(Ras.names.size());
    return Ras.status;
}

DWORD WINAPI FakeHangUp(HRASCONN connection) {
    Ras.hungUp.push_back(connection);
    return 0;
}

}  // namespace

TEST_F(PowerActions, HangUpEndsEveryActiveConnectionWhateverItsName) {
    Ras = {};
    Ras.names = {"", "Office VPN", "  Home dial-up  "};
    SetRasFunctions(FakeEnum, FakeHangUp);
    HangUpConnections();
    EXPECT_EQ(Ras.sizeSeen, sizeof(RASCONNA));
    EXPECT_EQ(Ras.bytesSeen, 256 * sizeof(RASCONNA));
    EXPECT_EQ(Ras.hungUp, (std::vector<HRASCONN>{HandleOf(0), HandleOf(1), HandleOf(2)}));
}

TEST_F(PowerActions, HangUpTrustsNeitherAFailedEnumerationNorAnOversizedCount) {
    Ras = {};
    Ras.names = {"a"};
    Ras.status = 603;   // ERROR_BUFFER_TOO_SMALL
    SetRasFunctions(FakeEnum, FakeHangUp);
    HangUpConnections();
    EXPECT_TRUE(Ras.hungUp.empty());

    Ras = {};
    Ras.names.assign(256, "x");
    Ras.reportedCount = 100000;   // more than the records handed over
    HangUpConnections();
    EXPECT_EQ(Ras.hungUp.size(), 256u);
}

TEST_F(PowerActions, HangUpWithThePlatformsDialUpIsHarmless) {
    SetRasFunctions(nullptr, nullptr);
    HangUpConnections();   // Wine: no connections; a crash or a hang would fail the program
    SUCCEED();
}

TEST_F(PowerActions, ByteArrayToStringStopsAtZeroOrAtTheEnd) {
    const char named[8] = {'W', 'o', 'r', 'k', '\0', 'x', 'y', 'z'};
    EXPECT_EQ(ByteArrayToString(named, sizeof named), "Work");
    const char full[4] = {'a', 'b', 'c', 'd'};   // no zero: never read past the record
    EXPECT_EQ(ByteArrayToString(full, sizeof full), "abcd");
    EXPECT_EQ(ByteArrayToString(nullptr, 10), "");
    EXPECT_EQ(ByteArrayToString("\xe9t\xe9", 3), "\xe9t\xe9");
}

namespace {
DWORD LastInputTime() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    return GetLastInputInfo(&info) ? info.dwTime : 0;
}
}  // namespace

TEST_F(PowerActions, NewInputClearsMonitorOffAndRestartsTheIdleCount) {
    TestSession().MeasureIdleSeconds();   // take in whatever input came before
    LockStateTestAccess::SetMonitorOff(true);
    TestSession().MeasureIdleSeconds();
    EXPECT_TRUE(CurrentLockState().IsMonitorOff()) << "no new input: the flag must stay";

    const DWORD before = LastInputTime();
    const DWORD sentAt = GetTickCount();
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    move.mi.dx = 1;
    ASSERT_EQ(SendInput(1, &move, sizeof move), 1u);
    for (DWORD start = GetTickCount(); LastInputTime() == before && GetTickCount() - start < 10000;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    ASSERT_NE(LastInputTime(), before) << "the platform never registered the input";
    const int32_t idle = TestSession().MeasureIdleSeconds();
    const DWORD bound = GetTickCount() - sentAt;
    EXPECT_FALSE(CurrentLockState().IsMonitorOff());
    EXPECT_EQ(CurrentLockState().LastInputTick(), LastInputTime());
    // Zero unless this machine took over half a second between the input and the query.
    EXPECT_LE(idle, RoundHalfEven(bound / 1000.0));
}

TEST_F(PowerActions, InactiveSecondsCountFromLastActiveTick) {
    const DWORD now = GetTickCount();
    LockStateTestAccess::SetLastActiveTick(now - 10000);
    const int32_t inactive = TestSession().InactiveSeconds();
    const DWORD later = GetTickCount();
    EXPECT_GE(inactive, 10);
    EXPECT_LE(inactive, RoundHalfEven((later - CurrentLockState().LastActiveTick()) / 1000.0));
}
