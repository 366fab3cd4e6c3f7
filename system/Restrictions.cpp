// Policy values, shell hiding and the start-up Run entry. Every step is independent: a value the
// account may not write or a shell window that does not exist is skipped and the rest still runs.
#include "system/Restrictions.h"

#include <windows.h>

#include "system/Registry.h"
#include "system/Text.h"

namespace {

struct PolicyValue {
    const char* Key;
    const char* Name;
};

constexpr PolicyValue kDisableTaskmgr{kPoliciesSystemUserKey, "DisableTaskmgr"};
constexpr PolicyValue kHideFastUserSwitching{kPoliciesSystemMachineKey, "HideFastUserSwitching"};
constexpr PolicyValue kNoLogoff{kPoliciesExplorerUserKey, "NoLogoff"};
constexpr PolicyValue kNoClose{kPoliciesExplorerUserKey, "NoClose"};

void WritePolicy(const PolicyValue& policy, const char* data) {
    // HideFastUserSwitching lives under HKEY_LOCAL_MACHINE; a limited account cannot write it,
    // and the lock must still set the values it can, so the status is not looked at.
    WriteRegistryValue(policy.Key, policy.Name, data, kRegDword);
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

std::string ReadRunValue() {
    return TrimNull(RegistryValueText(ReadRegistryValue(kRunKey, kRunValueName)));
}

}  // namespace

void ApplyPolicies() {
    WritePolicy(kDisableTaskmgr, "1");
    WritePolicy(kHideFastUserSwitching, "1");
    WritePolicy(kNoLogoff, "1");
}

void RestorePolicies() {
    WritePolicy(kDisableTaskmgr, "0");
    WritePolicy(kHideFastUserSwitching, "0");
    WritePolicy(kNoClose, "0");
    WritePolicy(kNoLogoff, "0");
}

void RemovePolicies() {
    for (const PolicyValue* policy : {&kDisableTaskmgr, &kHideFastUserSwitching, &kNoClose, &kNoLogoff})
        DeleteRegistryValue(policy->Key, policy->Name);
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
        ShowWindow(startButton, isHide ? SW_HIDE : SW_RESTORE);
}

bool HideTaskbars() {
    bool hidden = false;
    ForEachTaskbar([&hidden](HWND taskbar) {
        if (!IsWindowVisible(taskbar)) return;
        ShowWindow(taskbar, SW_HIDE);
        hidden = true;
    });
    return hidden;
}

void ShowTaskbars() {
    ForEachTaskbar([](HWND taskbar) { ShowWindow(taskbar, SW_SHOW); });
}

void HideDesktopIcons(bool isHide) {
    if (HWND view = FindDesktopIconView()) ShowWindow(view, isHide ? SW_HIDE : SW_RESTORE);
}

void ShowShell() {
    if (HWND view = FindDesktopIconView()) ShowWindow(view, SW_RESTORE);
    ShowTaskbars();
    if (HWND startButton = FindWindowA("Button", nullptr)) ShowWindow(startButton, SW_SHOW);
}

std::string StartupLockCommand(const std::string& appPath, const std::string& exeName) {
    return appPath + exeName + ".exe /StartupLock";
}

int32_t SetStartupLock(bool isEnable, const std::string& appPath, const std::string& exeName) {
    const std::string command = StartupLockCommand(appPath, exeName);
    const std::string present = ReadRunValue();
    if (present == command && isEnable) return 1;
    // A Run value of another copy of the program is not ours to delete.
    if (present != command && !isEnable) return 0;
    if (isEnable)
        WriteRegistryValue(kRunKey, kRunValueName, command, kRegSz);
    else
        DeleteRegistryValue(kRunKey, kRunValueName);
    // Write and delete report 0 also when nothing was attempted: the read-back is the answer.
    return ReadRunValue() == command ? 1 : 0;
}
