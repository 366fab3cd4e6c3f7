// Small system actions: the shutdown privilege, the start-up refusal of Windows 95/98/Me, the
// harsh alert actions (the platform's lock screen, an immediate power-off), the monitor
// switch-off, the dial-up hang-up, the alarm sound and the idle measurements.
#pragma once

#include <windows.h>
#include <ras.h>

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kShutdownPrivilege = 19;   // SeShutdownPrivilege

// Enables or disables a privilege in the thread's token, or in the process token when the
// thread has none. True when the adjustment succeeded.
bool AdjustPrivilege(uint32_t privilege, bool enable);

// The running system's display name; on Windows 95, 98 and Me it tells the user the system is
// not supported and ends the process. Empty when the version cannot be read.
std::string GetOSName();

// Hands over to the platform's own lock screen; a failure is ignored.
void LockWorkstationNow();

// Switches the machine off at once, without asking programs to close. Without the shutdown
// privilege, or when the power-off call fails, it says "Quick shutdown PC error" instead and
// the lock stays.
void QuickShutdown();

// The final power-off call (NtShutdownSystem) behind a replaceable pointer, so tests can run
// QuickShutdown without switching anything off. nullptr restores the real call; returns the
// previous replacement.
using ShutdownSystemFn = long (*)(int action);
ShutdownSystemFn SetShutdownSystemFn(ShutdownSystemFn fn);

// Pauses one second and asks the lock window to switch the monitor off; true once asked.
bool TurnOffMonitor(HWND lockWindow);

// Hangs up every active dial-up connection; a missing dial-up subsystem is harmless.
void HangUpConnections();

// The dial-up functions behind replaceable pointers for tests; both nullptr restores the
// functions of rasapi32.
using RasEnumConnectionsFn = DWORD(WINAPI*)(RASCONNA* connections, DWORD* bytes, DWORD* count);
using RasHangUpFn = DWORD(WINAPI*)(HRASCONN connection);
void SetRasFunctions(RasEnumConnectionsFn enumConnections, RasHangUpFn hangUp);

// The bytes up to, not including, the first zero byte (all of them when there is none).
std::string ByteArrayToString(const char* bytes, std::size_t size);

// Loops the wave file asynchronously until StopAlarm; a missing file plays nothing.
void PlayAlarm(const std::string& alarmFilePath);
void StopAlarm();

// Seconds since the last input anywhere on the desktop (0 when the platform cannot tell), the
// platform's last-input tick (knownInputTick when it cannot tell), and whether a key the
// keyboard lock saw since the last call counts as new input.
struct IdleReading {
    int32_t Seconds = 0;
    uint32_t InputTick = 0;
    bool KeySeen = false;
};
IdleReading GetIdleSeconds(uint32_t knownInputTick);
// Seconds since lastActiveTick, the last activity on the lock window or its covers.
int32_t GetInactiveSeconds(uint32_t lastActiveTick);
