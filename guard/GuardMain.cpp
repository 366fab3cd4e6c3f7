// Entry point of the guard program: the intermediate or the guardian, as the lock program asks.
// It has no window, no tray icon and no single-instance mutex; started any other way it ends.
#include <windows.h>

#include <string>

#include "core/GuardianPlan.h"
#include "guard/Guardian.h"
#include "system/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    LoadLibrariesFromSystem32Only();
    // The runtime's argument text: only the lock program starts this one, with a quoted path.
    const auto command = ParseGuardArguments(commandLine ? commandLine : "");
    if (!command) return 2;
    return command->Role == GuardRole::Intermediate ? RunIntermediate(command->Handles)
                                                    : RunGuardian(command->Handles);
}
