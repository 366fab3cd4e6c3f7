// The maintenance tool's safe-mode entry: the marker appended to the Winlogon "Userinit" list so
// that logon starts the locker even in safe mode. Pure: no platform headers, unit-tested natively.
#pragma once

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
