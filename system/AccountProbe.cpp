// The thin probe behind WeakFallbackText. Each step that fails leaves its part of the look at
// "nothing weak seen".
#include "system/AccountProbe.h"

#include <windows.h>

#include "system/Registry.h"

namespace {

constexpr char kWinlogonKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

AccountLook Probe() {
    AccountLook look;
    wchar_t name[257];   // UNLEN + 1
    DWORD size = sizeof name / sizeof name[0];
    if (GetUserNameW(name, &size)) {
        HANDLE token = nullptr;
        // "." is the computer's own account database: a domain or online account is not asked
        // there and simply fails, which reads as "has a password".
        look.blankLogonAccepted =
            LogonUserW(name, L".", L"", LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, &token) != FALSE;
        if (!look.blankLogonAccepted) look.blankLogonError = GetLastError();
        // Wine accepts every password and hands back a made-up token that is no handle at all;
        // closing it only fails.
        if (look.blankLogonAccepted && token) CloseHandle(token);
    }
    look.autoAdminLogon = RegistryValueText(ReadRegistryValue(kWinlogonKey, "AutoAdminLogon"));
    return look;
}

}  // namespace

const AccountLook& ProbeAccount() {
    static const AccountLook look = Probe();
    return look;
}
