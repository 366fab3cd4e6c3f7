// Policy values, shell hiding and the start-up Run entry. Every step is independent: a value the
// account may not write or a shell window that does not exist is skipped and the rest still runs.
#include "system/Restrictions.h"

#include <windows.h>

#include <optional>

#include "system/LockRecord.h"
#include "system/Registry.h"
#include "system/StartupText.h"
#include "system/Text.h"

namespace {

constexpr Policy kAppliedPolicies[] = {Policy::DisableTaskmgr, Policy::HideFastUserSwitching, Policy::NoLogoff};

PolicyWriter gPolicyWriter = nullptr;   // nullptr: WriteRegistryValue

const char* KeyOf(Policy policy) { return PolicyLocation(policy); }

// A status that is not looked at: a value the account may not write is skipped so the others
// are still written, and ApplyPolicies judges by reading back instead.
void WritePolicy(Policy policy, uint32_t value) {
    // Through the signed text, so a remembered number above 0x7FFFFFFF keeps its bits.
    (gPolicyWriter ? gPolicyWriter : WriteRegistryValue)(KeyOf(policy), PolicyValueName(policy),
                                                         std::to_string(static_cast<int32_t>(value)), kRegDword);
}

std::optional<uint32_t> ReadPolicy(Policy policy) {
    const RegistryValue stored = ReadRegistryValue(KeyOf(policy), PolicyValueName(policy));
    const auto* number = std::get_if<int32_t>(&stored);
    if (!number) return std::nullopt;
    return static_cast<uint32_t>(*number);
}

// Writes back what a lock remembered, then forgets it: a kill between the two only means the
// next restore writes the same values again. Only the values a lock sets, and only where they
// still hold its 1: anything else was put there by someone else (an administrator, a group
// policy) after the lock and stays. A value that was absent comes back as 0, which means the
// same.
void WriteBack(const RememberedPolicies& remembered) {
    for (const Policy policy : kAppliedPolicies)
        if (ReadPolicy(policy) == 1u) WritePolicy(policy, remembered[static_cast<int>(policy)].value_or(0));
    ForgetRememberedPolicies();
}

// The desktop's icon view: a child of "Progman" on older desktops; once the wallpaper has been
// animated it moves under one of the top-level "WorkerW" windows.
HWND FindDesktopIconView() {
    HWND progman = FindWindowA("Progman", nullptr);
    HWND view = progman ? FindWindowExA(progman, nullptr, "ShellDll_DefView", nullptr) : nullptr;
    // A null parent would make FindWindowExA search the top-level windows, so the WorkerW walk
    // only looks under windows it has actually found.
    HWND worker = view ? nullptr : FindWindowExA(nullptr, nullptr, "WorkerW", nullptr);
    while (!view && worker) {
        view = FindWindowExA(worker, nullptr, "SHELLDLL_DefView", nullptr);
        worker = FindWindowExA(nullptr, worker, "WorkerW", nullptr);
    }
    return view;
}

constexpr const char* kTaskbarClasses[] = {"Shell_TrayWnd", "Shell_SecondaryTrayWnd"};
// More taskbars than monitors anyone has; the walk stops there even should the window list
// change under it.
constexpr int kMaxTaskbars = 64;

// Calls visit for every top-level taskbar window.
template <class Visit>
void ForEachTaskbar(Visit visit) {
    for (const char* taskbarClass : kTaskbarClasses) {
        HWND taskbar = nullptr;
        for (int i = 0; i < kMaxTaskbars; ++i) {
            taskbar = FindWindowExA(nullptr, taskbar, taskbarClass, nullptr);
            if (!taskbar) break;
            visit(taskbar);
        }
    }
}

// The shell's windows belong to Explorer: ShowWindow would wait until Explorer handles the
// request, and a hung Explorer would hang the lock (or the unlock) with it. Posted instead; a
// window of this thread (a stand-in) is still shown or hidden at once.
void ShowShellWindow(HWND hwnd, int command) { ShowWindowAsync(hwnd, command); }

std::string ReadRunValue() {
    return TrimNull(RegistryValueText(ReadRegistryValue(kRunKey, kRunValueName)));
}

}  // namespace

PolicyWriter SetPolicyWriter(PolicyWriter writer) {
    const PolicyWriter previous = gPolicyWriter;
    gPolicyWriter = writer;
    return previous;
}

PolicyFailures ApplyPolicies() {
    // Remembered only once: a second apply while the record exists would otherwise remember our
    // own 1s and turn them into the values to restore. A record that cannot be written does not
    // stop the lock; the restore then falls back to 0, as it always did.
    if (!ReadRememberedPolicies()) {
        RememberedPolicies before;
        for (int i = 0; i < kPolicyCount; ++i) before[i] = ReadPolicy(static_cast<Policy>(i));
        WriteRememberedPolicies(before);
    }
    for (const Policy policy : kAppliedPolicies) WritePolicy(policy, 1);
    // Read back: a key that could not even be created writes nothing and reports success,
    // and a value an administrator already set to 1 is in force although our write failed.
    return PoliciesNotInForce();
}

PolicyFailures PoliciesNotInForce() {
    PolicyFailures failures;
    for (const Policy policy : kAppliedPolicies)
        if (ReadPolicy(policy) != 1u) failures.Add(policy);
    return failures;
}

PolicyFailures ProbePolicyWrites() {
    PolicyFailures failures;
    for (const Policy policy : kAppliedPolicies)
        if (!CanWriteRegistryKey(KeyOf(policy))) failures.Add(policy);
    return failures;
}

void RestorePolicies() { RestorePoliciesIfRemembered(); }

bool RestorePoliciesIfRemembered() {
    // Without a record no lock of ours is known to have changed anything, and writing 0 here
    // would turn an administrator's or a group policy's own 1 into 0.
    const std::optional<RememberedPolicies> remembered = ReadRememberedPolicies();
    if (!remembered) return false;
    WriteBack(*remembered);
    return true;
}

void RemoveUnrestrictingPolicies() {
    for (int i = 0; i < kPolicyCount; ++i) {
        const auto policy = static_cast<Policy>(i);
        // 0 restricts nothing and means the same as no value; any other number is someone's.
        if (ReadPolicy(policy) == 0u) DeleteRegistryValue(KeyOf(policy), PolicyValueName(policy));
    }
}

void HideShell(bool isHide, bool transparentBackground) {
    // With the transparent background the desktop is meant to stay visible behind the lock.
    if (transparentBackground) return;
    HideDesktopIcons(isHide);
    HideTaskbar(isHide);
}

void HideTaskbar(bool isHide) {
    if (isHide)
        HideTaskbars();
    else
        ShowTaskbars();
    if (HWND startButton = FindWindowA("Button", nullptr))
        ShowShellWindow(startButton, isHide ? SW_HIDE : SW_RESTORE);
}

bool HideTaskbars() {
    bool hidden = false;
    ForEachTaskbar([&hidden](HWND taskbar) {
        // A hung Explorer gets no new request at every watchdog tick: the first one is still
        // waiting in its queue, and the next tick after it wakes up asks again.
        if (!IsWindowVisible(taskbar) || IsHungAppWindow(taskbar)) return;
        ShowShellWindow(taskbar, SW_HIDE);
        hidden = true;
    });
    return hidden;
}

void ShowTaskbars() {
    ForEachTaskbar([](HWND taskbar) { ShowShellWindow(taskbar, SW_SHOW); });
}

void HideDesktopIcons(bool isHide) {
    if (HWND view = FindDesktopIconView()) ShowShellWindow(view, isHide ? SW_HIDE : SW_RESTORE);
}

void ShowShell() {
    if (HWND view = FindDesktopIconView()) ShowShellWindow(view, SW_RESTORE);
    ShowTaskbars();
    if (HWND startButton = FindWindowA("Button", nullptr)) ShowShellWindow(startButton, SW_SHOW);
}

std::string StartupLockCommand(const std::string& appPath, const std::string& exeName) {
    return appPath + exeName + ".exe /StartupLock";
}

bool IsStartupLockOn(const std::string& appPath, const std::string& exeName) {
    return ReadRunValue() == StartupLockCommand(appPath, exeName);
}

bool SetStartupLock(bool isEnable, const std::string& appPath, const std::string& exeName) {
    const std::string command = StartupLockCommand(appPath, exeName);
    const std::string present = ReadRunValue();
    if (present == command && isEnable) return true;
    // A Run value of another copy of the program is not ours to delete.
    if (present != command && !isEnable) return false;
    if (isEnable)
        WriteRegistryValue(kRunKey, kRunValueName, command, kRegSz);
    else
        DeleteRegistryValue(kRunKey, kRunValueName);
    return IsStartupLockOn(appPath, exeName);
}

// Windows deletes a RunOnce value before it runs the command, so each lock writes it again.
bool SetRunOnceLock(bool isSet, const std::string& exePath) {
    if (!isSet) {
        DeleteRegistryValue(kRunOnceKey, kRunOnceValueName);
        return IsEmptyValue(ReadRegistryValue(kRunOnceKey, kRunOnceValueName));
    }
    if (exePath.empty()) return false;
    const std::string command = "\"" + exePath + "\" " + kStartupLockArgument;
    WriteRegistryValue(kRunOnceKey, kRunOnceValueName, command, kRegSz);
    return TrimNull(RegistryValueText(ReadRegistryValue(kRunOnceKey, kRunOnceValueName))) == command;
}
