// The single instances of the process-wide values declared in AppState.h.
#include "core/AppState.h"

ConfigData Config;

std::string AppPath;
std::string AppExeName;
std::string ConfigFilePath;
std::string AlarmFilePath;
bool IsFirstRun = false;
int32_t ConfigLoadResult = 0;

uint32_t TrayIconMessage = 0;
