// A lock program killed at any moment of a lock, an unlock or a save of the settings: the next
// start of the real OrvoPCLock.exe must leave no restriction behind (the four policy values 0,
// the taskbar and the desktop icon view shown) and find the settings file, with the secret
// pattern, intact byte for byte (after a save: the old file or the new one, never a torn one).
//
// How a kill point is made. A child run of this test program builds the program's windows as
// the start-up does and then runs LockComputer or SaveConfigData with every platform call that
// has an effect outside the process (window placement, registry, keyboard hook, timers, files) routed through a counter; at the chosen call the child ends itself with
// TerminateProcess, as a crash or the task manager would end it. The routing rewrites the import
// table of this test program, so the shipped program carries no test hook, and every call a
// lock makes is a kill point, in whatever order a later change puts the steps. A dry run counts
// the calls first; then one child per call is killed there. The other way, killing the real
// program from outside at timed moments, was not taken: a lock with the effect off takes about
// 70 ms, so timed kills would hit a few steps by chance and miss the rest.
//
// The taskbar and the desktop icon view are stand-in windows of this (parent) process with the
// shell's class names, so they outlive the killed child: the plain Wine desktop of the Windows
// tests has only a hidden 0 x 0 taskbar and no icon view.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "core/ConfigData.h"
#include "core/ConfigFile.h"
#include "app/LockSession.h"
#include "app/Startup.h"
#include "app/MessageWindow.h"
#include "ui/GdiPlusHandles.h"
#include "ui/ImageTable.h"
#include "support/ConfigTestSupport.h"
#include "support/DrawTestSupport.h"
#include "support/FaultSupport.h"
#include "support/RawRegistry.h"
#include "system/LockRecord.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/WinHandles.h"
#include "support/SessionSupport.h"

using faulttest::ChildProcess;
using faulttest::Startup;

namespace {

constexpr DWORD kKilledExitCode = 0x4B111ED;   // the child's end by TerminateProcess
constexpr const char* kPhaseVariable = "ORVO_KILL_PHASE";
constexpr const char* kKillAtVariable = "ORVO_KILL_AT";
constexpr const char* kTraceVariable = "ORVO_KILL_TRACE";
constexpr const char* kChildTest = "KillChild.DISABLED_RunPhase";

// ---- the child: counted platform calls -------------------------------------------------------

struct KillPlan {
    bool Armed = false;
    int KillAt = 0;   // 0: count only
    std::vector<std::string> Calls;
};
KillPlan Plan;

void KillPoint(const char* name) {
    if (!Plan.Armed) return;
    Plan.Calls.push_back(name);
    if (static_cast<int>(Plan.Calls.size()) == Plan.KillAt) TerminateProcess(GetCurrentProcess(), kKilledExitCode);
}

decltype(&ShowWindow) RealShowWindow;
decltype(&SetWindowPos) RealSetWindowPos;
decltype(&SetFocus) RealSetFocus;
decltype(&SetForegroundWindow) RealSetForegroundWindow;
decltype(&UpdateLayeredWindow) RealUpdateLayeredWindow;
decltype(&SetWindowsHookExA) RealSetWindowsHookExA;
decltype(&UnhookWindowsHookEx) RealUnhookWindowsHookEx;
decltype(&SetTimer) RealSetTimer;
decltype(&KillTimer) RealKillTimer;
decltype(&RegSetValueExA) RealRegSetValueExA;
decltype(&RegDeleteValueA) RealRegDeleteValueA;
decltype(&CreateFileA) RealCreateFileA;
decltype(&WriteFile) RealWriteFile;
decltype(&FlushFileBuffers) RealFlushFileBuffers;
decltype(&MoveFileExA) RealMoveFileExA;
decltype(&DeleteFileA) RealDeleteFileA;

BOOL WINAPI CountedShowWindow(HWND h, int show) { KillPoint("ShowWindow"); return RealShowWindow(h, show); }
BOOL WINAPI CountedSetWindowPos(HWND h, HWND after, int x, int y, int cx, int cy, UINT flags) {
    KillPoint("SetWindowPos");
    return RealSetWindowPos(h, after, x, y, cx, cy, flags);
}
HWND WINAPI CountedSetFocus(HWND h) { KillPoint("SetFocus"); return RealSetFocus(h); }
BOOL WINAPI CountedSetForegroundWindow(HWND h) { KillPoint("SetForegroundWindow"); return RealSetForegroundWindow(h); }
BOOL WINAPI CountedUpdateLayeredWindow(HWND h, HDC dst, POINT* at, SIZE* size, HDC src, POINT* from, COLORREF key,
                                       BLENDFUNCTION* blend, DWORD flags) {
    KillPoint("UpdateLayeredWindow");
    return RealUpdateLayeredWindow(h, dst, at, size, src, from, key, blend, flags);
}
HHOOK WINAPI CountedSetWindowsHookExA(int id, HOOKPROC proc, HINSTANCE module, DWORD thread) {
    KillPoint("SetWindowsHookExA");
    return RealSetWindowsHookExA(id, proc, module, thread);
}
BOOL WINAPI CountedUnhookWindowsHookEx(HHOOK h) { KillPoint("UnhookWindowsHookEx"); return RealUnhookWindowsHookEx(h); }
UINT_PTR WINAPI CountedSetTimer(HWND h, UINT_PTR id, UINT ms, TIMERPROC proc) {
    KillPoint("SetTimer");
    return RealSetTimer(h, id, ms, proc);
}
BOOL WINAPI CountedKillTimer(HWND h, UINT_PTR id) { KillPoint("KillTimer"); return RealKillTimer(h, id); }
LSTATUS WINAPI CountedRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    KillPoint("RegSetValueExA");
    return RealRegSetValueExA(key, name, reserved, type, data, size);
}
LSTATUS WINAPI CountedRegDeleteValueA(HKEY key, LPCSTR name) { KillPoint("RegDeleteValueA"); return RealRegDeleteValueA(key, name); }
HANDLE WINAPI CountedCreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE templateFile) {
    KillPoint("CreateFileA");
    return RealCreateFileA(name, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI CountedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    KillPoint("WriteFile");
    return RealWriteFile(file, data, size, written, overlapped);
}
BOOL WINAPI CountedFlushFileBuffers(HANDLE file) { KillPoint("FlushFileBuffers"); return RealFlushFileBuffers(file); }
BOOL WINAPI CountedMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    KillPoint("MoveFileExA");
    return RealMoveFileExA(from, to, flags);
}
BOOL WINAPI CountedDeleteFileA(LPCSTR name) { KillPoint("DeleteFileA"); return RealDeleteFileA(name); }

template <class F>
bool Route(const char* dll, const char* name, F& real, F counted) {
    real = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
    return real && faulttest::RedirectImport(reinterpret_cast<void*>(real), reinterpret_cast<void*>(counted)) > 0;
}

// Every routed call must be one this program really imports, or its kill points would be
// missing without anyone noticing. The dial-up hang-up, the last lock step, is reached through
// GetProcAddress and leaves nothing behind a process end, so it gets no kill point of its own.
void RouteCalls() {
    EXPECT_TRUE(Route("user32.dll", "ShowWindow", RealShowWindow, CountedShowWindow));
    EXPECT_TRUE(Route("user32.dll", "SetWindowPos", RealSetWindowPos, CountedSetWindowPos));
    EXPECT_TRUE(Route("user32.dll", "SetFocus", RealSetFocus, CountedSetFocus));
    EXPECT_TRUE(Route("user32.dll", "SetForegroundWindow", RealSetForegroundWindow, CountedSetForegroundWindow));
    EXPECT_TRUE(Route("user32.dll", "UpdateLayeredWindow", RealUpdateLayeredWindow, CountedUpdateLayeredWindow));
    EXPECT_TRUE(Route("user32.dll", "SetWindowsHookExA", RealSetWindowsHookExA, CountedSetWindowsHookExA));
    EXPECT_TRUE(Route("user32.dll", "UnhookWindowsHookEx", RealUnhookWindowsHookEx, CountedUnhookWindowsHookEx));
    EXPECT_TRUE(Route("user32.dll", "SetTimer", RealSetTimer, CountedSetTimer));
    EXPECT_TRUE(Route("user32.dll", "KillTimer", RealKillTimer, CountedKillTimer));
    EXPECT_TRUE(Route("advapi32.dll", "RegSetValueExA", RealRegSetValueExA, CountedRegSetValueExA));
    EXPECT_TRUE(Route("advapi32.dll", "RegDeleteValueA", RealRegDeleteValueA, CountedRegDeleteValueA));
    EXPECT_TRUE(Route("kernel32.dll", "CreateFileA", RealCreateFileA, CountedCreateFileA));
    EXPECT_TRUE(Route("kernel32.dll", "WriteFile", RealWriteFile, CountedWriteFile));
    EXPECT_TRUE(Route("kernel32.dll", "FlushFileBuffers", RealFlushFileBuffers, CountedFlushFileBuffers));
    EXPECT_TRUE(Route("kernel32.dll", "MoveFileExA", RealMoveFileExA, CountedMoveFileExA));
    EXPECT_TRUE(Route("kernel32.dll", "DeleteFileA", RealDeleteFileA, CountedDeleteFileA));
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The settings a save in the child writes: another alert text and another pattern.
ConfigData SavedByChild(ConfigData config) {
    SetFixedText(config.AlertWord, "Written by the save that is killed");
    config.SecretPattern[1] = 9;
    config.SecretPattern[2] = 5;
    config.SecretPattern[3] = 1;
    config.SecretPattern[4] = 0;
    config.FileMark = kConfigFileMark;
    return config;
}

}  // namespace

// Not a test of its own: the body of one child run (see the top of the file).
TEST(KillChild, DISABLED_RunPhase) {
    const std::string phase = Variable(kPhaseVariable);
    Plan.KillAt = std::atoi(Variable(kKillAtVariable).c_str());
    GdiPlusSession gdiplus;
    ASSERT_TRUE(gdiplus.IsStarted());
    // The start-up's own steps, up to the windows and the images.
    SetProgramFiles(FindProgramFiles());
    ASSERT_TRUE(LoadConfigData(Config, TheProgramFiles().ConfigFilePath));
    FitScreenData(TestSession());
    TestSession().FurtherCovers().Create();
    TestSession().CreateCover(GetModuleHandleA(nullptr));
    TestSession().CreateLockWindow(GetModuleHandleA(nullptr));
    TestSession().LoadImages(drawtest::ProgramResources());
    PumpPendingMessages();
    RouteCalls();

    if (phase == "lock") {
        Plan.Armed = true;
        TestSession().LockComputer(true, false);
    } else if (phase == "unlock") {
        TestSession().LockComputer(true, false);
        PumpPendingMessages();
        Plan.Armed = true;
        TestSession().LockComputer(false, false);
    } else if (phase == "save") {
        Config = SavedByChild(Config);
        Plan.Armed = true;
        EXPECT_TRUE(SaveConfigData(Config, TheProgramFiles().ConfigFilePath));
    } else {
        FAIL() << "unknown phase '" << phase << "'";
    }
    Plan.Armed = false;
    std::ofstream trace(Variable(kTraceVariable), std::ios::trunc);
    for (const std::string& call : Plan.Calls) trace << call << "\n";
}

namespace {

// ---- the parent ------------------------------------------------------------------------------

const char* const kLockPolicies[][2] = {
    {kPoliciesSystemUserKey, "DisableTaskmgr"},
    {kPoliciesSystemMachineKey, "HideFastUserSwitching"},
    {kPoliciesExplorerUserKey, "NoLogoff"},
    {kPoliciesExplorerUserKey, "NoClose"},
};

// "DisableTaskmgr HideFastUserSwitching NoLogoff NoClose" as stored, "-" for a missing value.
std::string PolicyValues() {
    std::string text;
    for (const auto& policy : kLockPolicies) {
        const auto value = rawreg::ReadDword(policy[0], policy[1]);
        if (!text.empty()) text += ' ';
        text += value ? std::to_string(*value) : "-";
    }
    return text;
}

ConfigData KillTestConfig() {
    ConfigData config;
    ApplyDefaultConfig(config);
    config.Grid = 0;
    config.Reserved = 0x5A;
    // No timer of the started program may lock or hide anything while it is checked.
    config.AutoHideTime = 0;
    config.AutoLockTime = 0;
    config.MonitorOffTime = 0;
    const int32_t pattern[] = {1, 2, 3, 5, 7, 8, 9};
    for (int i = 0; i < 7; ++i) config.SecretPattern[i + 1] = pattern[i];
    for (int i = 10; i < kSecretPatternEntries; ++i) config.SecretPattern[i] = 1000 + i;   // stale entries
    // Every lock step that can run does: the keyboard hook, the dial-up hang-up, the letters.
    config.LockKeyboard = 1;
    config.Disconnection = 1;
    config.TransparentBackground = 0;
    config.UnlockMode = 2;
    config.Effect = 0;   // the wipes would add some 60 drawing calls and no new state
    config.FileMark = kConfigFileMark;
    return config;
}

std::string FileImage(const ConfigData& config, const std::string& tail) {
    const ConfigBytes image = EncodeConfig(config);
    return std::string(image.begin(), image.end()) + tail;
}

UniqueHwnd MakeWindow(const char* className, HWND parent) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    const DWORD style = (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE;
    return UniqueHwnd(CreateWindowExA(parent ? 0 : WS_EX_TOOLWINDOW, className, "", style, 0, 0, 8, 8, parent,
                                      nullptr, GetModuleHandleA(nullptr), nullptr));
}

class KillPoints : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        configPath_ = FindProgramFiles().ConfigFilePath;   // the same settings path the program and the child use
        hadFile_ = GetFileAttributesA(configPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
        savedFile_ = configtest::ReadWholeFile(configPath_);
        savedFirstRun_ = rawreg::Read(kAppSystemKey, "FirstRun");
        rawreg::Delete(kAppSystemKey, "FirstRun");
        original_ = FileImage(KillTestConfig(), std::string("tail kept by every save\x01\x02", 25));
        taskbar_ = MakeWindow("Shell_TrayWnd", nullptr).release();
        progman_ = MakeWindow("Progman", nullptr).release();
        iconView_ = progman_ ? MakeWindow("SHELLDLL_DefView", progman_).release() : nullptr;
    }
    static void TearDownTestSuite() {
        if (progman_) DestroyWindow(progman_);
        if (taskbar_) DestroyWindow(taskbar_);
        if (hadFile_) configtest::WriteWholeFile(configPath_, savedFile_);
        else DeleteFileA(configPath_.c_str());
        DeleteFileA((configPath_ + ".tmp").c_str());
        if (savedFirstRun_) rawreg::Write(kAppSystemKey, "FirstRun", savedFirstRun_->Type, savedFirstRun_->Bytes);
        for (const auto& policy : kLockPolicies) rawreg::WriteDword(policy[0], policy[1], 0);
    }

    void SetUp() override {
        ASSERT_NE(taskbar_, nullptr);
        ASSERT_NE(iconView_, nullptr);
        char temp[MAX_PATH] = "";
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        tracePath_ = std::string(temp) + "orvo-kill-trace.txt";
        program_ = faulttest::ProgramFolder() + "OrvoPCLock.exe";
        ASSERT_NE(GetFileAttributesA(program_.c_str()), INVALID_FILE_ATTRIBUTES) << program_;
    }

    // Before every child: no restriction, shell shown, the original settings file.
    void ResetMachine() {
        for (const auto& policy : kLockPolicies) ASSERT_TRUE(rawreg::WriteDword(policy[0], policy[1], 0));
        ShowWindow(taskbar_, SW_SHOW);
        ShowWindow(iconView_, SW_SHOW);
        ASSERT_TRUE(configtest::WriteWholeFile(configPath_, original_));
        DeleteFileA((configPath_ + ".tmp").c_str());
        // The program finds the taskbar by its class: the stand-in must be the first of them. A
        // start shows every taskbar, the desktop's own hidden one too, which can end above it.
        SetWindowPos(taskbar_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), taskbar_);
        ASSERT_EQ(FindWindowExA(FindWindowA("Progman", nullptr), nullptr, "SHELLDLL_DefView", nullptr), iconView_);
    }

    // Runs the child with the kill point (0 = none); returns its exit code, or -1.
    long long RunChild(const std::string& phase, int killAt) {
        ChildProcess child = ChildProcess::RunTest(
            kChildTest, {{kPhaseVariable, phase}, {kKillAtVariable, std::to_string(killAt)}, {kTraceVariable, tracePath_}},
            tracePath_ + ".log");
        DWORD code = 0;
        if (!child.Started() || !child.Wait(60000, &code)) return -1;
        return code;
    }

    // The calls of a whole phase, from a run without a kill.
    std::vector<std::string> DryRun(const std::string& phase) {
        ResetMachine();
        DeleteFileA(tracePath_.c_str());
        EXPECT_EQ(RunChild(phase, 0), 0) << "the " << phase << " child failed without a kill:\n"
                                         << configtest::ReadWholeFile(tracePath_ + ".log");
        std::vector<std::string> calls;
        std::ifstream trace(tracePath_);
        for (std::string line; std::getline(trace, line);) calls.push_back(line);
        // Leave nothing of the dry run behind for the first kill.
        ResetMachine();
        return calls;
    }

    // Starts the real program after a kill and checks what it leaves; `expectedFiles` are the
    // acceptable settings files.
    void CheckNextStart(const std::string& where, const std::vector<std::string>& expectedFiles) {
        // A kill while locked leaves the "Locked" marker, and a start that finds it locks again
        // (the e2e scenario of the guardian shows that); here only the repair is looked at.
        ClearLockedMarker();
        ChildProcess program = ChildProcess::Start("\"" + program_ + "\"");
        if (!program.Started()) {
            ADD_FAILURE() << where << ": OrvoPCLock.exe did not start";
            return;
        }
        std::string message;
        const Startup outcome = faulttest::WaitUntilReady(program, 30000, &message);
        auto check = [&](bool condition, const std::string& what) {
            if (!condition) ADD_FAILURE() << where << ": " << what;
        };
        check(outcome == Startup::Ready,
              std::string("the next start came out ") + faulttest::ToString(outcome) + (message.empty() ? "" : ": " + message));
        check(PolicyValues() == "0 0 0 0", "policies after the next start: " + PolicyValues());
        check(IsWindowVisible(taskbar_), "taskbar still hidden after the next start");
        check(IsWindowVisible(iconView_), "desktop icons still hidden after the next start");
        check(faulttest::VisibleWindowsOf(program.Id()).empty(), "the next start shows a window (locked?)");
        const std::string file = configtest::ReadWholeFile(configPath_);
        bool known = false;
        for (const std::string& expected : expectedFiles) known = known || file == expected;
        check(known, "settings file changed (" + std::to_string(file.size()) + " bytes)");
        program.Terminate();
    }

    struct Sweep {
        int Points = 0;
        int LeftRestricted = 0;   // kills after which the policies or the shell needed the repair
    };

    Sweep KillAtEveryCall(const std::string& phase, const std::vector<std::string>& expectedFiles) {
        Sweep sweep;
        const std::vector<std::string> calls = DryRun(phase);
        EXPECT_FALSE(calls.empty());
        std::string list;
        for (const std::string& call : calls) list += " " + call;
        std::printf("%s: %zu kill points:%s\n", phase.c_str(), calls.size(), list.c_str());
        for (int k = 1; k <= static_cast<int>(calls.size()); ++k) {
            const std::string where = phase + " killed before call " + std::to_string(k) + " (" + calls[k - 1] + ")";
            ResetMachine();
            if (HasFatalFailure()) return sweep;
            const long long code = RunChild(phase, k);
            if (code != static_cast<long long>(kKilledExitCode)) {
                ADD_FAILURE() << where << ": the child ended with " << code << " instead of being killed";
                continue;
            }
            ++sweep.Points;
            if (PolicyValues() != "0 0 0 0" || !IsWindowVisible(taskbar_) || !IsWindowVisible(iconView_))
                ++sweep.LeftRestricted;
            CheckNextStart(where, expectedFiles);
        }
        return sweep;
    }

    static inline std::string configPath_;
    static inline bool hadFile_ = false;
    static inline std::string savedFile_;
    static inline std::optional<rawreg::Value> savedFirstRun_;
    static inline std::string original_;
    static inline HWND taskbar_ = nullptr;
    static inline HWND progman_ = nullptr;
    static inline HWND iconView_ = nullptr;
    std::string tracePath_;
    std::string program_;
};

}  // namespace

TEST_F(KillPoints, EveryCallOfALockIsRepairedByTheNextStart) {
    const Sweep sweep = KillAtEveryCall("lock", {original_});
    EXPECT_GT(sweep.Points, 5);
    // The kills must have landed inside the lock: some of them left restrictions to repair.
    EXPECT_GT(sweep.LeftRestricted, 0);
}

TEST_F(KillPoints, EveryCallOfAnUnlockIsRepairedByTheNextStart) {
    const Sweep sweep = KillAtEveryCall("unlock", {original_});
    EXPECT_GT(sweep.Points, 3);
    EXPECT_GT(sweep.LeftRestricted, 0);
}

TEST_F(KillPoints, EveryCallOfASaveLeavesTheOldFileOrTheNewOne) {
    const std::string tail = original_.substr(kConfigFileSize);
    ConfigBytes image{};
    std::copy(original_.begin(), original_.begin() + kConfigFileSize, image.begin());
    const std::string saved = FileImage(SavedByChild(DecodeConfig(image)), tail);
    const Sweep sweep = KillAtEveryCall("save", {original_, saved});
    EXPECT_GE(sweep.Points, 3);
}
