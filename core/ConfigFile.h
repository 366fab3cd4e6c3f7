// Loading and saving the settings record "OrvoPLS.cfg", the first-run switch in the registry,
// and putting the defaults in place when the file is new, lost or broken.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char kConfigFileName[] = "OrvoPLS.cfg";
inline constexpr const char kReadConfigFailedText[] = "Reading configuration file failed! ";
inline constexpr const char kSaveConfigFailedText[] = "Saving configuration file failed! ";

// 0 = the global Config was read and accepted; 1 = missing (silent), unreadable or rejected.
int32_t LoadConfigData(const std::string& path);

// 0 = written with FileMark 20001; 1 = failed (message shown, old file and Config unchanged).
int32_t SaveConfigData(const std::string& path);

// True when "FirstRun" is "0": the old file at `configPath` is deleted and "FirstRun" becomes "1".
bool CheckFirstRun(const std::string& configPath);
