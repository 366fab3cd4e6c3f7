// What the uninstaller asks of the tool before the files go: the repair of "/Fix" without its
// message, and the removal of this installation's start-up entries.
#pragma once

#include <string>

// The lock program next to this tool ("<tool folder>\OrvoPCLock.exe"), or "" when the tool's
// own path cannot be read.
std::string InstalledProgramPath();

// Remembered policies restored and those that restrict nothing deleted, the lock record deleted, shell shown, this installation's safe-mode markers cut out of
// "Userinit" and its Run value deleted. Shows nothing: the uninstaller may run silently.
void UninstallCleanup(const std::string& installedProgram);
