// Helpers of the fault tests: routing a platform call of this test program through a stand-in
// (its import-table slots are rewritten), running this test program again as a child process
// for one test, starting the real lock program and waiting for it, Unix commands for what only
// the host can do (Wine runs as root here), and the process's handle, GDI and memory figures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "system/WinHandles.h"
#include "tests/e2e/driver/ProcessCounts.h"

namespace faulttest {

// Rewrites every import-table slot of this program's module that holds `original` so that it
// holds `replacement`. Returns the number of slots rewritten.
int RedirectImport(const void* original, const void* replacement);

// Folder of this test program (where the build also puts OrvoPCLock.exe), ending in '\'.
std::string ProgramFolder();

// The messages of this thread, run while waiting: windows of this process that another process
// shows or hides (the stand-in taskbar) need their thread to answer, or that process blocks.
void PumpMessages();
bool WaitPumping(HANDLE handle, DWORD timeoutMs);
void SleepPumping(DWORD ms);

using Environment = std::vector<std::pair<std::string, std::string>>;

// A process started by a test; ended (TerminateProcess) when the object goes if still running.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;
    ~ChildProcess() { Terminate(); }
    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    bool Running() const;
    // Waits for the end (pumping); false when the time is up. The exit code tells how it ended.
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Terminate();

    // Runs this test program again with only the named test (DISABLED_ tests allowed), with
    // extra environment variables; its output goes to the named file (or nowhere).
    static ChildProcess RunTest(const std::string& testName, const Environment& environment,
                                const std::string& outputFile = "");
    // Starts a program with its command line; output nowhere.
    static ChildProcess Start(const std::string& commandLine);

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// How a start of the lock program came out.
enum class Startup { Ready, MessageBox, Ended, TimedOut };
const char* ToString(Startup outcome);

// Waits until the process has its tray owner window or the stand-in that takes its place,
// shows a message box, or ends. A message box's text goes to messageText.
Startup WaitUntilReady(const ChildProcess& program, DWORD timeoutMs, std::string* messageText = nullptr);
// Visible top-level windows of the process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);

// Runs a Unix command line through /bin/sh (Wine starts host programs too) and waits until the
// file `doneMarker` exists, which the command creates as its last step. False on time-out.
bool RunHostCommand(const std::string& shellCommand, const std::string& doneMarker, DWORD timeoutMs);
// The host path of a Windows path, or "" when Wine does not say.
std::string HostPath(const std::string& windowsPath);

// Figures of a process that Wine answers honestly: handles from the system handle list, GDI
// objects from the process's GDI handle table, committed private memory. -1 = unknown.
using ResourceCounts = processcounts::Counts;
ResourceCounts CountResources(HANDLE process, DWORD processId);

}  // namespace faulttest
