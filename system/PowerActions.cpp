// Privilege adjustment through ntdll, the operating-system check of the start-up sequence, and
// the power, monitor, dial-up, sound and idle actions of the lock.
#include "system/PowerActions.h"
#include "system/SystemLibrary.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <vector>

#include "system/IdlePolicy.h"
#include "system/KeyboardLock.h"
#include "system/Messages.h"
#include "system/OsName.h"

namespace {

constexpr LONG kStatusNoToken = static_cast<LONG>(0xC000007C);

using RtlAdjustPrivilegeFunction = LONG(NTAPI*)(ULONG privilege, BOOLEAN enable, BOOLEAN currentThread,
                                                PBOOLEAN wasEnabled);

RtlAdjustPrivilegeFunction FindRtlAdjustPrivilege() {
    // ntdll is mapped into every process; the function is not in the import libraries of
    // every tool chain, so it is looked up by name.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) return nullptr;
    const FARPROC found = GetProcAddress(ntdll, "RtlAdjustPrivilege");
    return reinterpret_cast<RtlAdjustPrivilegeFunction>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

bool AdjustPrivilege(uint32_t privilege, bool enable) {
    const RtlAdjustPrivilegeFunction adjust = FindRtlAdjustPrivilege();
    if (!adjust) return false;
    BOOLEAN wasEnabled = FALSE;
    LONG status = adjust(privilege, enable ? TRUE : FALSE, TRUE, &wasEnabled);
    // A thread that does not impersonate has no token of its own: use the process token.
    if (status == kStatusNoToken) status = adjust(privilege, enable ? TRUE : FALSE, FALSE, &wasEnabled);
    return status == 0;
}

std::string GetOSName() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    // GetVersionExA is deprecated in newer SDKs but still reports the compatibility version,
    // which is what the refusal of the 9x family needs.
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&info)) return {};
    OsVersionFields fields;
    fields.MajorVersion = info.dwMajorVersion;
    fields.MinorVersion = info.dwMinorVersion;
    fields.BuildNumber = info.dwBuildNumber;
    fields.PlatformId = info.dwPlatformId;
    fields.CsdVersion.assign(info.szCSDVersion, sizeof info.szCSDVersion);
    const std::string name = OsDisplayName(fields);
    if (IsUnsupportedPlatform(fields)) {
        ShowMessage(kUnsupportedOsText + name, kUnsupportedOsCaption, MB_ICONWARNING);
        ExitProcess(0);
    }
    return name;
}

// ---- alert actions ----

namespace {
ShutdownSystemFn gShutdownSystem = nullptr;   // nullptr: ntdll's NtShutdownSystem

long CallNtShutdownSystem(int action) {
    using NtShutdownSystemFunction = LONG(NTAPI*)(int action);
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll) return -1;
    const auto shutdown = reinterpret_cast<NtShutdownSystemFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtShutdownSystem")));
    return shutdown ? shutdown(action) : -1;
}
}  // namespace

ShutdownSystemFn SetShutdownSystemFn(ShutdownSystemFn fn) {
    const ShutdownSystemFn previous = gShutdownSystem;
    gShutdownSystem = fn;
    return previous;
}

namespace {
// Atomic because a crash handler may read it on any thread.
std::atomic<LockWorkStationFn> gLockWorkStation{nullptr};   // nullptr: user32's LockWorkStation
}  // namespace

LockWorkStationFn SetLockWorkStationFn(LockWorkStationFn fn) { return gLockWorkStation.exchange(fn); }

void LockWorkstationNow() {
    // Nothing to do when it fails (Wine answers ERROR_CALL_NOT_IMPLEMENTED): the lock stays.
    LockWorkstationAfterCrash();
}

bool LockWorkstationAfterCrash() {
    // Runs while the process may be corrupt: no allocation, no lock, no window, no message box.
    // LockWorkStation only asks the system to switch to the secure desktop and returns, so it is
    // safe from a filter; the marker in the registry stays set for the next start.
    const LockWorkStationFn replacement = gLockWorkStation.load();
    return (replacement ? replacement : LockWorkStation)() != FALSE;
}

void QuickShutdown() {
    // ShutdownPowerOff: ShutdownNoReboot (0) only halts, and on current hardware the machine
    // then stays on with a dead screen.
    constexpr int kShutdownPowerOff = 2;
    // A power-off that returns with an error status leaves the machine running just as a
    // missing privilege does, so it gets the same warning instead of passing in silence.
    if (!AdjustPrivilege(kShutdownPrivilege, true) ||
        (gShutdownSystem ? gShutdownSystem : CallNtShutdownSystem)(kShutdownPowerOff) != 0)
        ShowMessage("Quick shutdown PC error", "Orvo Desktop", MB_ICONWARNING);
}

bool TurnOffMonitor(HWND lockWindow) {
    // The pause lets the key or click that led here finish, so its release does not wake the
    // monitor straight away.
    Sleep(1000);
    SendMessageA(lockWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    return true;
}

// ---- dial-up ----

namespace {
constexpr DWORD kMaxConnections = 256;

RasEnumConnectionsFn gRasEnumConnections = nullptr;
RasHangUpFn gRasHangUp = nullptr;
DWORD gLastRasStatus = 0;   // kept for a debugger; nobody reports it

// rasapi32 is loaded only when needed and only by name, so a system without the dial-up
// subsystem starts and locks normally. The library stays loaded until the process ends.
bool LoadRasFunctions(RasEnumConnectionsFn& enumConnections, RasHangUpFn& hangUp) {
    if (gRasEnumConnections && gRasHangUp) {
        enumConnections = gRasEnumConnections;
        hangUp = gRasHangUp;
        return true;
    }
    const HMODULE ras = LoadSystemLibrary("rasapi32.dll");
    if (!ras) return false;
    enumConnections = reinterpret_cast<RasEnumConnectionsFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ras, "RasEnumConnectionsA")));
    hangUp = reinterpret_cast<RasHangUpFn>(reinterpret_cast<void (*)()>(GetProcAddress(ras, "RasHangUpA")));
    return enumConnections && hangUp;
}
}  // namespace

void SetRasFunctions(RasEnumConnectionsFn enumConnections, RasHangUpFn hangUp) {
    gRasEnumConnections = enumConnections;
    gRasHangUp = hangUp;
}

// The option reads "Disconnect internet when locked", so every active connection is ended,
// whatever its entry name.
void HangUpConnections() {
    RasEnumConnectionsFn enumConnections = nullptr;
    RasHangUpFn hangUp = nullptr;
    if (!LoadRasFunctions(enumConnections, hangUp)) return;
    // The record size of the platform headers matches the build's bitness; the API checks it.
    std::vector<RASCONNA> connections(kMaxConnections);
    connections[0].dwSize = sizeof(RASCONNA);
    DWORD bytes = static_cast<DWORD>(connections.size() * sizeof(RASCONNA));
    DWORD count = 0;
    gLastRasStatus = enumConnections(connections.data(), &bytes, &count);
    if (gLastRasStatus != 0) return;
    // Never trust the count beyond the records we own.
    const DWORD filled = count < kMaxConnections ? count : kMaxConnections;
    for (DWORD i = 0; i < filled; ++i) gLastRasStatus = hangUp(connections[i].hrasconn);
}

std::string ByteArrayToString(const char* bytes, std::size_t size) {
    if (!bytes) return {};
    std::size_t length = 0;
    while (length < size && bytes[length] != '\0') ++length;
    return std::string(bytes, length);
}

// ---- alarm sound ----

namespace {
BOOL PlaySoundFile(const char* path, UINT flags) {
    static const auto play = SystemFunction<BOOL(WINAPI*)(LPCSTR, UINT)>("winmm.dll", "sndPlaySoundA");
    return play ? play(path, flags) : FALSE;
}
}  // namespace

void PlayAlarm(const std::string& alarmFilePath) {
    // No default sound: a missing file must stay silent rather than chime.
    PlaySoundFile(alarmFilePath.c_str(), SND_ASYNC | SND_NODEFAULT | SND_LOOP);
}

void StopAlarm() { PlaySoundFile(nullptr, SND_PURGE); }

// ---- idle time ----

IdleReading GetIdleSeconds(uint32_t knownInputTick) {
    IdleReading reading;
    reading.InputTick = knownInputTick;
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info)) return reading;
    reading.Seconds = ElapsedSeconds(GetTickCount(), info.dwTime);
    reading.InputTick = info.dwTime;
    // A key the keyboard lock saw, even one it swallowed, is activity too; its thread leaves
    // the report to be taken here, on the thread that owns the lock state.
    reading.KeySeen = TakeKeyboardActivity();
    return reading;
}

int32_t GetInactiveSeconds(uint32_t lastActiveTick) { return ElapsedSeconds(GetTickCount(), lastActiveTick); }
