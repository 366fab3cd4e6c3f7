// Loading and saving the settings record "OrvoPLS.cfg", the first-run switch in the registry,
// and putting the defaults in place when the file is new, lost or broken.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char kConfigFileName[] = "OrvoPLS.cfg";
inline constexpr const char kReadConfigFailedText[] = "Reading configuration file failed! ";
inline constexpr const char kSaveConfigFailedText[] = "Saving configuration file failed! ";

struct ConfigData;

// Reads the file into `config` without a word.
enum class ConfigRead { Loaded, Missing, Unreadable };   // Unreadable: also a file rejected
ConfigRead ReadConfigData(ConfigData& config, const std::string& path);
// True when `config` was read and accepted; false when the file is missing (silent),
// unreadable or rejected (said).
bool LoadConfigData(ConfigData& config, const std::string& path);
// The message of an unreadable or rejected file, for a start that says it later.
void TellConfigReadFailed();

// True when written with FileMark 20001 (and `config` then carries that mark); false when it
// failed (message shown, old file and `config` unchanged).
bool SaveConfigData(ConfigData& config, const std::string& path);

// Whether the account's own registry key holds anything; asked before the start writes its
// installation values there.
bool AccountIsKnown();

// True on the account's first run: "FirstRun" is "0" (the old file at `configPath` is deleted),
// or neither the file nor anything of the account's was there (accountWasKnown is what
// AccountIsKnown said before the start wrote anything). "FirstRun" then becomes "1".
bool CheckFirstRun(const std::string& configPath, bool accountWasKnown);
