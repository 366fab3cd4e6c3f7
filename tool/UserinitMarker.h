// The maintenance tool's safe-mode entry: the marker appended to the Winlogon "Userinit" list so
// that logon starts the locker even in safe mode. Pure: no platform headers, unit-tested natively.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// "," + the trimmed program path + " /StartupLock".
std::string SafeModeMarker(std::string_view appPath);
// Case-sensitive search for the marker anywhere in the list.
bool HasMarker(std::string_view userinit, std::string_view marker);
// The list with the marker appended.
std::string AddMarker(std::string_view userinit, std::string_view marker);
// The list with every occurrence of the marker removed, then trimmed (TrimNull).
std::string RemoveMarker(std::string_view userinit, std::string_view marker);
// The list with every occurrence of the marker removed and nothing else changed.
std::string CutMarker(std::string_view userinit, std::string_view marker);
// The same for several markers in a single left-to-right pass (the leftmost hit is cut first;
// on a tie the marker listed first).
std::string CutMarkers(std::string_view userinit, std::initializer_list<std::string_view> markers);

// The marker "/Enable" writes for the program at this path (the lock program beside the tool),
// or "" when the path cannot be one entry of the list: empty, or holding a comma, which
// Winlogon would split into two commands.
std::string InstalledSafeModeMarker(std::string_view installedProgram);
// Whether the list holds a marker of the installed program, in any ASCII case (an earlier
// version built it from the path the program recorded, which may differ in case).
bool HasOwnMarker(std::string_view userinit, std::string_view installedProgram);
// The list without every such marker and with nothing else changed; entries of anyone else
// (another copy, a quoted or edited entry) stay as they are.
std::string CutOwnMarkers(std::string_view userinit, std::string_view installedProgram);

// What the uninstaller leaves in "Userinit" (the stored text up to its first NUL): the list
// without the safe-mode markers of the installed program, whose path is given as the tool sees
// it and as the program recorded it in "APP_PATH". The recorded path counts only when it names
// the same file (paths compare without regard to ASCII case); a marker of another copy stays.
std::string UninstallUserinit(std::string_view userinit, std::string_view installedProgram,
                              std::string_view recordedProgram);

// Whether a Run value (after TrimNull) is the start-up command of the installed program.
bool IsInstalledStartupCommand(std::string_view runValue, std::string_view installedProgram);
