// The single instances of the process-wide values declared in AppState.h.
#include "core/AppState.h"

ConfigData Config;
