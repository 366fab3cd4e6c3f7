// Loading and saving the settings record "OrvoPLS.cfg", the first-run switch in the registry,
// and putting the defaults in place when the file is new, lost or broken.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char kConfigFileName[] = "OrvoPLS.cfg";
inline constexpr const char kReadConfigFailedText[] = "Reading configuration file failed! ";
inline constexpr const char kSaveConfigFailedText[] = "Saving configuration file failed! ";

// Reads the file into the global Config without a word.
enum class ConfigRead { Loaded, Missing, Unreadable };   // Unreadable: also a file rejected
ConfigRead ReadConfigData(const std::string& path);
// 0 = the global Config was read and accepted; 1 = missing (silent), unreadable or rejected.
int32_t LoadConfigData(const std::string& path);
// The message of an unreadable or rejected file, for a start that says it later.
void TellConfigReadFailed();

// 0 = written with FileMark 20001; 1 = failed (message shown, old file and Config unchanged).
int32_t SaveConfigData(const std::string& path);

// Whether the account's own registry key holds anything; asked before the start writes its
// installation values there.
bool AccountIsKnown();

// True on the account's first run: "FirstRun" is "0" (the old file at `configPath` is deleted),
// or neither the file nor anything of the account's was there (accountWasKnown is what
// AccountIsKnown said before the start wrote anything). "FirstRun" then becomes "1".
bool CheckFirstRun(const std::string& configPath, bool accountWasKnown);
