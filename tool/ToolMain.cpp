// Entry point of the maintenance tool. The lock program's configuration dialog starts it with
// exactly one switch; anything else (a different case included) opens the window instead.
// "/Uninstall" is the uninstaller's: it works silently and shows no window.
#include <windows.h>

#include <string>

#include "system/Text.h"
#include "system/SystemLibrary.h"
#include "tool/ToolWindow.h"
#include "tool/ToolActions.h"
#include "tool/UninstallCleanup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCmd) {
    LoadLibrariesFromSystem32Only();
    const std::string command = TrimNull(commandLine ? commandLine : "");
    if (command == "/Fix") {
        FixTroubles();
        return 0;
    }
    if (command == "/Enable") {
        SetSafeModeLock(true);
        return 0;
    }
    if (command == "/Disable") {
        SetSafeModeLock(false);
        return 0;
    }
    if (command == "/Uninstall") {
        UninstallCleanup(InstalledProgramPath());
        return 0;
    }
    return RunMainWindow(instance, showCmd);
}
